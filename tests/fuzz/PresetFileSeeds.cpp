// Writes the preset reader's seed corpus into the folder named on the command
// line: every layout through the writer, and the conventions of other hosts
// (a byte size of 0, tags stored little-endian, a bank's current program).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/HostRecords.h"
#include "host/PresetFile.h"

namespace {

using namespace brume;

PresetProgram program(const char* name, int parameters, float first) {
  PresetProgram made;
  made.name = name;
  for (int i = 0; i < parameters; ++i) made.values.push_back(first + static_cast<float>(i) / (2.0f * parameters));
  return made;
}

PresetFile preset(PresetKind kind, PresetLayout layout, int programs, int parameters) {
  PresetFile file;
  file.kind = kind;
  file.layout = layout;
  file.pluginId = fourCharacterCode('B', 'R', 'M', '7');
  file.pluginVersion = 1;
  if (layout == PresetLayout::OpaqueChunk) {
    file.count = kind == PresetKind::Bank ? programs : parameters;
    for (int i = 0; i < 24; ++i) file.chunk.push_back(static_cast<std::uint8_t>(i * 11));
    if (kind == PresetKind::Program) file.programs.push_back(program("Chunk", 0, 0.0f));
    return file;
  }
  file.count = kind == PresetKind::Bank ? programs : parameters;
  for (int p = 0; p < programs; ++p)
    file.programs.push_back(program(("Program " + std::to_string(p)).c_str(), parameters, 0.02f * p));
  return file;
}

std::vector<std::uint8_t> withSizeZero(std::vector<std::uint8_t> bytes) {
  for (int i = 4; i < 8; ++i) bytes[i] = 0;
  return bytes;
}

// The magic and kind tags in little-endian order.
std::vector<std::uint8_t> withSwappedTags(std::vector<std::uint8_t> bytes) {
  for (std::size_t at : {std::size_t{0}, std::size_t{8}}) {
    std::swap(bytes[at], bytes[at + 3]);
    std::swap(bytes[at + 1], bytes[at + 2]);
  }
  return bytes;
}

bool save(const std::string& folder, const char* name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = folder + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const auto list = PresetLayout::ParameterList;
  const auto chunk = PresetLayout::OpaqueChunk;
  const std::vector<std::uint8_t> program = writePresetFile(preset(PresetKind::Program, list, 1, 54));
  PresetFile currentBank = preset(PresetKind::Bank, list, 16, 54);
  currentBank.formatVersion = 2;
  currentBank.currentProgram = 3;
  PresetFile currentChunkBank = preset(PresetKind::Bank, chunk, 16, 0);
  currentChunkBank.formatVersion = 2;
  currentChunkBank.currentProgram = 1;

  bool saved = save(folder, "program-list.fxp", program);
  saved = save(folder, "program-list-size-zero.fxp", withSizeZero(program)) && saved;
  saved = save(folder, "program-list-little-endian-tags.fxp", withSwappedTags(program)) && saved;
  saved = save(folder, "program-chunk.fxp", writePresetFile(preset(PresetKind::Program, chunk, 1, 54))) && saved;
  saved = save(folder, "bank-list.fxb", writePresetFile(preset(PresetKind::Bank, list, 16, 54))) && saved;
  saved = save(folder, "bank-list-current-program.fxb", writePresetFile(currentBank)) && saved;
  saved = save(folder, "bank-list-small.fxb", writePresetFile(preset(PresetKind::Bank, list, 2, 3))) && saved;
  saved = save(folder, "bank-chunk.fxb", writePresetFile(preset(PresetKind::Bank, chunk, 16, 0))) && saved;
  saved = save(folder, "bank-chunk-current-program.fxb", writePresetFile(currentChunkBank)) && saved;
  return saved ? 0 : 1;
}
