#include "tools/brume7-host/plugins/vst2/Vst2Report.h"

#include <cstdint>

#include "tools/brume7-host/plugins/ReportText.h"

#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"

namespace brume {
namespace {

struct FlagName {
  VstInt32 bit;
  const char* name;
};

const FlagName kFlagNames[] = {
    {kFlagHasEditor, "hasEditor"},
    {kFlagHasClip, "hasClip"},
    {kFlagHasMeter, "hasMeter"},
    {kFlagCanMono, "canMono"},
    {kFlagCanReplacing, "canReplacing"},
    {kFlagProgramChunks, "programChunks"},
    {kFlagIsSynth, "isSynth"},
    {kFlagNoSoundInStop, "noSoundInStop"},
    {kFlagAsync, "async"},
    {kFlagExternalBuffer, "externalBuffer"},
    {kFlagCanDoubleReplacing, "canDoubleReplacing"},
};

const char* const kCategoryNames[] = {"unknown",     "effect",          "synthesizer", "analysis",
                                      "mastering",   "spatializer",     "room effect", "surround effect",
                                      "restoration", "offline process", "shell",       "generator"};

const char* const kCapabilityWords[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"};

}  // namespace

std::string describeFlags(VstInt32 flags) {
  std::string text;
  VstInt32 known = 0;
  for (const FlagName& flag : kFlagNames) {
    known |= flag.bit;
    if ((flags & flag.bit) != 0) text += (text.empty() ? "" : " ") + std::string(flag.name);
  }
  if ((flags & ~known) != 0) {
    text += (text.empty() ? "" : " ") + formatText("0x%X", static_cast<unsigned>(flags & ~known));
  }
  return text.empty() ? "none" : text;
}

std::string categoryName(VstIntPtr category) {
  const auto count = static_cast<VstIntPtr>(sizeof kCategoryNames / sizeof kCategoryNames[0]);
  return category >= 0 && category < count ? kCategoryNames[category] : "unknown";
}

std::string describeUniqueId(VstInt32 id) {
  std::string characters;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<unsigned char>((static_cast<std::uint32_t>(id) >> shift) & 0xFF);
    characters += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  return formatText("'%s' (0x%08X)", characters.c_str(), static_cast<unsigned>(id));
}

std::string describeVst2Identity(PluginInstance& plugin) {
  const AEffect& record = plugin.record();
  std::string report;
  report += formatText("Plug-in:         %s (entry %s)\n", plugin.library().path().c_str(),
                       plugin.library().entryName().c_str());
  report += formatText("Effect name:     %s\n", printable(plugin.effectName()).c_str());
  report += formatText("Vendor:          %s\n", printable(plugin.vendorName()).c_str());
  report += formatText("Product:         %s\n", printable(plugin.productName()).c_str());
  report += formatText("Vendor version:  %ld\n", static_cast<long>(plugin.vendorVersion()));
  const std::string vectorPath = plugin.vectorPath();
  if (!vectorPath.empty()) report += formatText("Vector path:     %s\n", printable(vectorPath).c_str());
  report += formatText("Unique ID:       %s\n", describeUniqueId(record.uniqueID).c_str());
  report += formatText("Version:         %d\n", record.version);
  report += formatText("Programs:        %d\n", plugin.programCount());
  report += formatText("Parameters:      %d\n", plugin.parameterCount());
  report += formatText("Inputs:          %d\n", plugin.inputCount());
  report += formatText("Outputs:         %d\n", plugin.outputCount());
  report += formatText("Initial delay:   %d\n", record.initialDelay);
  report += formatText("Flags:           0x%X %s\n", static_cast<unsigned>(record.flags),
                       describeFlags(record.flags).c_str());
  const VstIntPtr category = plugin.category();
  report += formatText("Category:        %ld (%s)\n", static_cast<long>(category), categoryName(category).c_str());
  report += "Can do:         ";
  for (const char* word : kCapabilityWords) {
    report += formatText(" %s=%ld", word, static_cast<long>(plugin.canDo(word)));
  }
  report += "\n";

  return report;
}

}  // namespace brume
