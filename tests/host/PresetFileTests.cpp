#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "host/HostRecords.h"
#include "host/PresetFile.h"
#include "tests/support/FloatBits.h"

namespace brume {
namespace {

using test::bitsOf;

constexpr std::int32_t kBrume7 = fourCharacterCode('B', 'R', 'M', '7');

float floatWithBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Values that only survive a bit-exact round trip: negative zero, a denormal, a NaN payload, infinity.
std::vector<float> awkwardValues(std::size_t count, float seed) {
  std::vector<float> values(count);
  for (std::size_t i = 0; i < count; ++i) values[i] = seed + 0.01f * static_cast<float>(i);
  values[0] = -0.0f;
  values[1] = std::numeric_limits<float>::denorm_min();
  values[2] = floatWithBits(0x7FC01234u);
  values[3] = std::numeric_limits<float>::infinity();
  return values;
}

PresetFile listProgram() {
  PresetFile file;
  file.pluginId = kBrume7;
  file.pluginVersion = 1;
  file.count = 54;
  file.programs = {{"Glass Bells", awkwardValues(54, 0.1f)}};
  return file;
}

PresetFile withVersion(PresetFile file, std::int32_t version) {
  file.formatVersion = version;
  return file;
}

PresetFile listBank(std::int32_t version) {
  PresetFile file;
  file.kind = PresetKind::Bank;
  file.formatVersion = version;
  file.pluginId = kBrume7;
  file.pluginVersion = 1;
  file.count = 16;
  file.currentProgram = version >= 2 ? 5 : -1;
  for (int p = 0; p < 16; ++p) file.programs.push_back({"Sound " + std::to_string(p), awkwardValues(54, 0.02f * p)});
  return file;
}

PresetFile chunkFile(PresetKind kind) {
  PresetFile file;
  file.kind = kind;
  file.layout = PresetLayout::OpaqueChunk;
  file.pluginId = fourCharacterCode('O', 't', 'h', 'r');
  file.pluginVersion = 7;
  file.count = kind == PresetKind::Program ? 12 : 32;
  if (kind == PresetKind::Program) file.programs = {{"Chunky", {}}};
  file.chunk = {0, 1, 2, 0xFF, 0x80, 'x'};
  return file;
}

void expectSameFile(const PresetFile& read, const PresetFile& written) {
  EXPECT_EQ(read.kind, written.kind);
  EXPECT_EQ(read.layout, written.layout);
  EXPECT_EQ(read.formatVersion, written.formatVersion);
  EXPECT_EQ(read.pluginId, written.pluginId);
  EXPECT_EQ(read.pluginVersion, written.pluginVersion);
  EXPECT_EQ(read.count, written.count);
  EXPECT_EQ(read.currentProgram, written.currentProgram);
  EXPECT_EQ(read.chunk, written.chunk);
  ASSERT_EQ(read.programs.size(), written.programs.size());
  for (std::size_t p = 0; p < read.programs.size(); ++p) {
    EXPECT_EQ(read.programs[p].name, written.programs[p].name);
    ASSERT_EQ(read.programs[p].values.size(), written.programs[p].values.size());
    for (std::size_t i = 0; i < read.programs[p].values.size(); ++i)
      ASSERT_EQ(bitsOf(read.programs[p].values[i]), bitsOf(written.programs[p].values[i])) << p << "/" << i;
  }
}

bool parse(const std::vector<std::uint8_t>& bytes, PresetFile& file, std::string& error) {
  return readPresetFile(bytes.data(), bytes.size(), file, error);
}

struct Layout {
  const char* name;
  PresetFile file;
  std::size_t size;
};

class PresetFileRoundTrip : public ::testing::TestWithParam<Layout> {};

TEST_P(PresetFileRoundTrip, ReadsBackWhatItWroteBitForBit) {
  const std::vector<std::uint8_t> bytes = writePresetFile(GetParam().file);
  EXPECT_EQ(bytes.size(), GetParam().size);
  PresetFile read;
  std::string error;
  ASSERT_TRUE(parse(bytes, read, error)) << error;
  expectSameFile(read, GetParam().file);
  EXPECT_EQ(writePresetFile(read), bytes);
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, PresetFileRoundTrip,
                         ::testing::Values(Layout{"ProgramList", listProgram(), 56 + 4 * 54},
                                           Layout{"ProgramListOfAnotherVersion", withVersion(listProgram(), 2),
                                                  56 + 4 * 54},
                                           Layout{"BankList", listBank(1), 156 + 16 * (56 + 4 * 54)},
                                           Layout{"BankListWithCurrentProgram", listBank(2), 156 + 16 * (56 + 4 * 54)},
                                           Layout{"ProgramChunk", chunkFile(PresetKind::Program), 60 + 6},
                                           Layout{"BankChunk", chunkFile(PresetKind::Bank), 160 + 6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PresetFile, FieldsAreBigEndianWhereEveryHostPutsThem) {
  PresetFile file = listProgram();
  file.programs[0].values[10] = -2.5f;  // 0xC0200000
  const std::vector<std::uint8_t> bytes = writePresetFile(file);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "CcnK");
  EXPECT_EQ(bytes[7], static_cast<std::uint8_t>(bytes.size() - 8));  // byte size of the rest
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "FxCk");
  EXPECT_EQ(std::string(bytes.begin() + 16, bytes.begin() + 20), "BRM7");
  EXPECT_EQ(bytes[27], 54);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[28])), "Glass Bells");
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 96, bytes.begin() + 100),
            (std::vector<std::uint8_t>{0xC0, 0x20, 0x00, 0x00}));
}

TEST(PresetFile, AcceptsOtherHostsConventions) {
  // A byte size of 0, tags written little-endian, a 28-character name without its zero.
  PresetFile program = listProgram();
  program.programs[0].name = "Twenty-eight characters long";
  std::vector<std::uint8_t> bytes = writePresetFile(program);
  std::memset(&bytes[4], 0, 4);
  std::swap(bytes[8], bytes[11]);
  std::swap(bytes[9], bytes[10]);
  std::swap(bytes[0], bytes[3]);
  std::swap(bytes[1], bytes[2]);
  PresetFile read;
  std::string error;
  ASSERT_TRUE(parse(bytes, read, error)) << error;
  expectSameFile(read, program);

  // A version 2 bank's current program, and a version 1 bank whose reserved bytes say nothing.
  ASSERT_TRUE(parse(writePresetFile(listBank(2)), read, error)) << error;
  EXPECT_EQ(read.currentProgram, 5);
  ASSERT_TRUE(parse(writePresetFile(listBank(1)), read, error)) << error;
  EXPECT_EQ(read.currentProgram, -1);
}

TEST(PresetFile, RefusesWhatIsNotExactlyOneRecord) {
  const std::vector<std::uint8_t> program = writePresetFile(listProgram());
  const std::vector<std::uint8_t> bank = writePresetFile(listBank(2));
  const std::vector<std::uint8_t> chunk = writePresetFile(chunkFile(PresetKind::Bank));
  auto changed = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  auto resized = [](std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
  };
  const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
      {"empty", {}},
      {"header only", resized(program, 27)},
      {"wrong magic", changed(program, 0, 'X')},
      {"unknown kind", changed(program, 8, 'X')},
      {"truncated program", resized(program, program.size() - 1)},
      {"oversized program", resized(program, program.size() + 4)},
      {"negative count", changed(program, 24, 0x80)},
      {"count beyond the file", changed(program, 26, 0x10)},
      {"truncated bank", resized(bank, bank.size() - 3)},
      {"oversized bank", resized(bank, bank.size() + 1)},
      {"bank count beyond the file", changed(bank, 27, 17)},
      {"a bank's program with another kind", changed(bank, 156 + 8, 'X')},
      {"a bank's program with another count", changed(bank, 156 + 27, 53)},
      {"truncated chunk", resized(chunk, chunk.size() - 1)},
      {"oversized chunk", resized(chunk, chunk.size() + 1)},
      {"chunk size beyond the file", changed(chunk, 156, 0x7F)},
  };
  for (const auto& [name, bytes] : cases) {
    PresetFile read;
    std::string error;
    EXPECT_FALSE(parse(bytes, read, error)) << name;
    EXPECT_FALSE(error.empty()) << name;
    EXPECT_EQ(error.find('\n'), std::string::npos) << name;
  }
}

TEST(PresetFile, SaysWhyAFileDoesNotFitAPlugin) {
  const PresetFile program = listProgram();
  const PresetFile bank = listBank(1);
  EXPECT_EQ(presetMismatch(program, kBrume7, 54, 16, false, false), "");
  EXPECT_EQ(presetMismatch(bank, kBrume7, 54, 16, false, false), "");
  EXPECT_EQ(presetMismatch(program, fourCharacterCode('K', 'a', 'r', 's'), 54, 16, false, false),
            "the file is for the plug-in 'BRM7', not 'Kars'");
  EXPECT_EQ(presetMismatch(program, fourCharacterCode('K', 'a', 'r', 's'), 54, 16, false, true), "");
  EXPECT_NE(presetMismatch(program, kBrume7, 53, 16, false, false), "");
  EXPECT_NE(presetMismatch(bank, kBrume7, 54, 8, false, false), "");
  EXPECT_NE(
      presetMismatch(chunkFile(PresetKind::Program), chunkFile(PresetKind::Program).pluginId, 12, 1, false, false), "");
  EXPECT_EQ(presetMismatch(chunkFile(PresetKind::Bank), chunkFile(PresetKind::Bank).pluginId, 12, 1, true, false), "");
  EXPECT_EQ(pluginIdText(-1), "-1");
}

}  // namespace
}  // namespace brume
