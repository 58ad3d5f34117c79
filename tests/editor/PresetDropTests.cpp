// Preset files dropped onto the editor (headless platform): a program file
// loads into the current program, a bank replaces all programs, each changed
// value reaches the host as automation, and everything else is refused with
// nothing changed.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "editor/PresetDrop.h"
#include "gui/Control.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/PresetFiles.h"

namespace brume::test {
namespace {

constexpr VstInt32 kHostUpdateDisplay = 42;
constexpr Point kOverTheEditor{300, 100};  // window coordinates

struct Drop {
  std::vector<std::string> items;
  std::int32_t type = 0;
};

// Everything a load may change: the live values, the current program and all 16 programs.
struct InstrumentState {
  std::vector<float> live;
  VstInt32 current = 0;
  std::vector<std::vector<float>> values;
  std::vector<std::string> names;
};

class PresetDropTest : public EditorFixture {
 protected:
  void SetUp() override {
    EditorFixture::SetUp();
    std::string pattern = ::testing::TempDir() + "brume7-preset-drop-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    openAndSettle();
    headless::setInputState({0, kOverTheEditor + kWindowOrigin});
  }
  void TearDown() override {
    EditorFixture::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

 public:
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(writeBytes(path, bytes)) << path;
    return path;
  }
  std::string write(const std::string& name, const PresetFile& file) const {
    return write(name, writePresetFile(file));
  }
  bool drop(const Drop& what) { return headless::dropOnWindow(frame()->nativeWindow(), what.items, what.type); }

  InstrumentState state() const {
    InstrumentState now;
    for (std::int32_t i = 0; i < kParameterCount; ++i) now.live.push_back(instrument->getParameter(i));
    now.current = instrument->programIndex();
    for (std::int32_t p = 0; p < kProgramCount; ++p) {
      const InstrumentProgram* program = instrument->program(p);
      now.values.emplace_back();
      for (std::int32_t i = 0; i < kParameterCount; ++i) now.values.back().push_back(program->values.get(i));
      now.names.emplace_back(program->name);
    }
    return now;
  }

  // The host heard, in index order, begin, automate and end for each index whose value changed, then one display
  // update.
  void expectAutomationOf(const std::vector<float>& before, const std::vector<float>& after) const {
    std::vector<HostCall> expected;
    for (std::int32_t i = 0; i < kParameterCount; ++i) {
      if (before[i] == after[i]) continue;
      expected.push_back({nullptr, kHostBeginEdit, i, 0, nullptr, 0.0f});
      expected.push_back({nullptr, kHostAutomate, i, 0, nullptr, after[i]});
      expected.push_back({nullptr, kHostEndEdit, i, 0, nullptr, 0.0f});
    }
    expected.push_back({nullptr, kHostUpdateDisplay, 0, 0, nullptr, 0.0f});
    std::vector<HostCall> heard;
    for (const HostCall& call : host.calls)
      if (call.opcode != kHostTempoAt) heard.push_back(call);
    ASSERT_EQ(heard.size(), expected.size());
    for (std::size_t n = 0; n < heard.size(); ++n) {
      EXPECT_EQ(heard[n].opcode, expected[n].opcode) << "request " << n;
      EXPECT_EQ(heard[n].index, expected[n].index) << "request " << n;
      EXPECT_EQ(heard[n].opt, expected[n].opt) << "request " << n;
    }
  }

  std::string folder;
};

TEST_F(PresetDropTest, AProgramFileLoadsIntoTheCurrentProgram) {
  ASSERT_EQ(call(2, 0, 3), 0);  // program 3 is current
  PresetFile file = presetProgramFile(1);
  // Two values as they are: the host hears of the others only.
  file.programs[0].values[kVolume] = instrument->getParameter(kVolume);
  file.programs[0].values[kCutoff] = instrument->getParameter(kCutoff);
  file.programs[0].name = "A name longer than the field";
  const std::string path = write("Bright Lead.fxp", file);
  const InstrumentState before = state();
  host.clear();

  ASSERT_TRUE(drop({{path}}));
  const InstrumentState after = state();
  EXPECT_EQ(after.live, file.programs[0].values);
  EXPECT_EQ(after.values[3], file.programs[0].values);
  EXPECT_EQ(after.names[3], "A name longer than the ") << "cut to 23 characters";
  EXPECT_EQ(after.current, 3);
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    if (p == 3) continue;
    EXPECT_EQ(after.values[p], before.values[p]) << "program " << p;
    EXPECT_EQ(after.names[p], "Basic") << "program " << p;
  }
  expectAutomationOf(before.live, after.live);

  idle();  // at once, although the last refresh was less than 100 ms ago
  for (std::int32_t i = 0; i < kParameterCount; ++i)
    EXPECT_EQ(editor()->parameterControl(i)->getValue(), file.programs[0].values[i]) << "control " << i;
}

TEST_F(PresetDropTest, ABankReplacesEveryProgramAndTheCurrentOneSoundsAtOnce) {
  ASSERT_EQ(call(2, 0, 5), 0);
  PresetFile bank = presetBankFile(20);
  bank.formatVersion = 2;
  bank.currentProgram = 9;  // the host's choice of program stands
  const std::string path = write("Pads.fxb", bank);
  const InstrumentState before = state();
  host.clear();

  ASSERT_TRUE(drop({{path}}));
  const InstrumentState after = state();
  EXPECT_EQ(after.current, 5);
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    EXPECT_EQ(after.values[p], bank.programs[p].values) << "program " << p;
    EXPECT_EQ(after.names[p], bank.programs[p].name) << "program " << p;
  }
  EXPECT_EQ(after.live, bank.programs[5].values);
  expectAutomationOf(before.live, after.live);

  // Another program of the bank sounds once selected.
  ASSERT_EQ(call(2, 0, 11), 0);
  EXPECT_EQ(state().live, bank.programs[11].values);
}

struct Refusal {
  const char* name;
  std::function<Drop(PresetDropTest&)> make;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

// Bytes of a valid file changed by `change`.
template <typename Change>
std::vector<std::uint8_t> changed(std::vector<std::uint8_t> bytes, Change change) {
  change(bytes);
  return bytes;
}

class PresetDropRefusal : public PresetDropTest, public ::testing::WithParamInterface<Refusal> {};

const std::vector<std::uint8_t> kBank = writePresetFile(presetBankFile(40));
const std::vector<std::uint8_t> kProgram = writePresetFile(presetProgramFile(60));

PresetFile withValues(PresetFile file, std::size_t program, std::size_t count) {
  file.programs[program].values.resize(count, 0.5f);
  return file;
}

PresetFile withValue(PresetFile file, std::size_t program, float value) {
  file.programs[program].values[kParameterCount - 1] = value;
  return file;
}

PresetFile asChunk(PresetFile file) {
  file.layout = PresetLayout::OpaqueChunk;
  file.chunk.assign(64, 7);
  if (file.kind == PresetKind::Bank) file.programs.clear();
  return file;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, PresetDropRefusal,
    ::testing::Values(
        Refusal{"Text",
                [](PresetDropTest&) {
                  return Drop{{"a dragged text"}, 1};
                }},
        Refusal{"TwoFiles",
                [](PresetDropTest& t) {
                  return Drop{{t.write("a.fxp", kProgram), t.write("b.fxb", kBank)}, 0};
                }},
        Refusal{"NoSuchFile",
                [](PresetDropTest& t) {
                  return Drop{{t.folder + "/missing.fxp"}, 0};
                }},
        Refusal{"Folder",
                [](PresetDropTest& t) {
                  return Drop{{t.folder}, 0};
                }},
        Refusal{"EmptyFile",
                [](PresetDropTest& t) {
                  return Drop{{t.write("empty.fxp", std::vector<std::uint8_t>{})}, 0};
                }},
        Refusal{"PlainText",
                [](PresetDropTest& t) {
                  const std::string text = "Brume7 bank: pads\n";
                  return Drop{{t.write("pads.txt", std::vector<std::uint8_t>(text.begin(), text.end()))}, 0};
                }},
        Refusal{"AnotherPlugin",
                [](PresetDropTest& t) {
                  PresetFile other = presetBankFile(0);
                  other.pluginId = fourCharacterCode('D', 'r', 'm', 'S');
                  return Drop{{t.write("other.fxb", other)}, 0};
                }},
        Refusal{"FewerParameters",
                [](PresetDropTest& t) {
                  return Drop{{t.write("p.fxp", withValues(presetProgramFile(1), 0, 53))}, 0};
                }},
        Refusal{"MoreParameters",
                [](PresetDropTest& t) {
                  return Drop{{t.write("p.fxp", withValues(presetProgramFile(1), 0, 55))}, 0};
                }},
        Refusal{"FewerPrograms",
                [](PresetDropTest& t) {
                  PresetFile bank = presetBankFile(0);
                  bank.programs.pop_back();
                  return Drop{{t.write("b.fxb", bank)}, 0};
                }},
        Refusal{"TruncatedBank",
                [](PresetDropTest& t) {
                  return Drop{{t.write("b.fxb", std::vector<std::uint8_t>(kBank.begin(), kBank.end() - 4))}, 0};
                }},
        Refusal{"TruncatedProgram",
                [](PresetDropTest& t) {
                  return Drop{{t.write("p.fxp", std::vector<std::uint8_t>(kProgram.begin(), kProgram.end() - 1))}, 0};
                }},
        Refusal{"TrailingBytes",
                [](PresetDropTest& t) {
                  return Drop{{t.write("b.fxb", changed(kBank, [](auto& b) { b.push_back(0); }))}, 0};
                }},
        Refusal{"LongerThanAnyBank",
                [](PresetDropTest& t) {
                  return Drop{{t.write("b.fxb", changed(kBank, [](auto& b) { b.resize(kLargestPresetFile + 1); }))}, 0};
                }},
        Refusal{"DamagedLastProgramRecord",
                [](PresetDropTest& t) {
                  // The 16th record's magic: a loader that applied as it read would have changed 15 programs.
                  const std::size_t record = 156 + 15 * (56 + 4 * kParameterCount);
                  return Drop{{t.write("b.fxb", changed(kBank, [&](auto& b) { b[record] = 'X'; }))}, 0};
                }},
        Refusal{"ValueAboveOne",
                [](PresetDropTest& t) {
                  return Drop{{t.write("b.fxb", withValue(presetBankFile(0), 15, 1.5f))}, 0};
                }},
        Refusal{"ValueBelowZero",
                [](PresetDropTest& t) {
                  return Drop{{t.write("p.fxp", withValue(presetProgramFile(0), 0, -0.25f))}, 0};
                }},
        Refusal{"NotANumber",
                [](PresetDropTest& t) {
                  return Drop{{t.write("p.fxp", withValue(presetProgramFile(0), 0, NAN))}, 0};
                }},
        Refusal{"ProgramChunk",
                [](PresetDropTest& t) {
                  return Drop{{t.write("c.fxp", asChunk(presetProgramFile(0)))}, 0};
                }},
        Refusal{"BankChunk",
                [](PresetDropTest& t) {
                  return Drop{{t.write("c.fxb", asChunk(presetBankFile(0)))}, 0};
                }}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST_P(PresetDropRefusal, ChangesNothing) {
  ASSERT_EQ(call(2, 0, 2), 0);
  const Drop what = GetParam().make(*this);
  const InstrumentState before = state();
  host.clear();
  EXPECT_FALSE(drop(what));
  const InstrumentState after = state();
  EXPECT_EQ(after.live, before.live);
  EXPECT_EQ(after.current, before.current);
  EXPECT_EQ(after.values, before.values);
  EXPECT_EQ(after.names, before.names);
  for (VstInt32 opcode :
       {VstInt32{kHostAutomate}, VstInt32{kHostBeginEdit}, VstInt32{kHostEndEdit}, kHostUpdateDisplay})
    EXPECT_EQ(host.count(opcode), 0) << "host request " << opcode;
}

}  // namespace
}  // namespace brume::test
