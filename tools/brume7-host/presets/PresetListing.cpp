#include "tools/brume7-host/presets/PresetListing.h"

#include "tools/brume7-host/plugins/ReportText.h"
#include "tools/brume7-host/plugins/vst2/Vst2Report.h"

namespace brume {
namespace {

constexpr int kValuesPerLine = 8;

// Rows of values, each led by the index of its first.
std::string valueRows(const std::vector<float>& values, int indent) {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i % kValuesPerLine == 0) text += formatText("%*s%3d:", indent, "", static_cast<int>(i));
    text += formatText(" %.6g", static_cast<double>(values[i]));
    if (i % kValuesPerLine == kValuesPerLine - 1 || i + 1 == values.size()) text += "\n";
  }
  return text;
}

const char* tagOf(const PresetFile& file) {
  const bool chunk = file.layout == PresetLayout::OpaqueChunk;
  if (file.kind == PresetKind::Program) return chunk ? "FPCh" : "FxCk";
  return chunk ? "FBCh" : "FxBk";
}

}  // namespace

std::string describePresetFile(const std::string& path, const PresetFile& file, bool values) {
  const bool chunk = file.layout == PresetLayout::OpaqueChunk;
  const bool bank = file.kind == PresetKind::Bank;
  std::string text = path + ": ";
  if (bank) {
    text += formatText("a bank of %d program%s", file.count, file.count == 1 ? "" : "s");
    text += chunk ? " in the plug-in's own chunk" : " as parameter lists";
  } else {
    text += chunk ? "one program in the plug-in's own chunk" : "one program as a parameter list";
  }
  text += formatText(" ('%s', format version %d)\n", tagOf(file), file.formatVersion);
  text += formatText("Plug-in:          %s, version %d\n", describeUniqueId(file.pluginId).c_str(), file.pluginVersion);
  if (!bank || !chunk) {
    const std::size_t parameters = file.programs.empty() ? 0 : file.programs.front().values.size();
    const std::size_t count = chunk ? static_cast<std::size_t>(file.count) : parameters;
    text += "Parameters:       " + std::to_string(count) + (bank ? " per program\n" : "\n");
  }
  if (bank && file.currentProgram >= 0) text += formatText("Current program:  %d\n", file.currentProgram);
  if (chunk) text += "Chunk:            " + std::to_string(file.chunk.size()) + " bytes\n";

  if (!bank) {
    text += formatText("Name:             %s\n", printable(file.programs.front().name).c_str());
    if (!chunk) text += "Values:\n" + valueRows(file.programs.front().values, 2);
    return text;
  }
  if (chunk) return text + "(the program names are inside the chunk)\n";
  text += "Programs:\n";
  for (std::size_t p = 0; p < file.programs.size(); ++p) {
    text += formatText("%5d  %s\n", static_cast<int>(p), printable(file.programs[p].name).c_str());
    if (values) text += valueRows(file.programs[p].values, 7);
  }
  return text;
}

}  // namespace brume
