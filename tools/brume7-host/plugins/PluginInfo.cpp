#include "tools/brume7-host/plugins/PluginInfo.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

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

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...) {
  char text[1024];
  va_list arguments;
  va_start(arguments, pattern);
  std::vsnprintf(text, sizeof text, pattern, arguments);
  va_end(arguments);
  return text;
}

// Texts from a plug-in may hold line breaks or tabs; a table row must not.
std::string printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

}  // namespace

std::string describeFlags(VstInt32 flags) {
  std::string text;
  VstInt32 known = 0;
  for (const FlagName& flag : kFlagNames) {
    known |= flag.bit;
    if ((flags & flag.bit) != 0) text += (text.empty() ? "" : " ") + std::string(flag.name);
  }
  if ((flags & ~known) != 0) {
    text += (text.empty() ? "" : " ") + format("0x%X", static_cast<unsigned>(flags & ~known));
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
  return format("'%s' (0x%08X)", characters.c_str(), static_cast<unsigned>(id));
}

std::string describePlugin(PluginInstance& plugin) {
  const AEffect& record = plugin.record();
  std::string report;
  report +=
      format("Plug-in:         %s (entry %s)\n", plugin.library().path().c_str(), plugin.library().entryName().c_str());
  report += format("Effect name:     %s\n", printable(plugin.effectName()).c_str());
  report += format("Vendor:          %s\n", printable(plugin.vendorName()).c_str());
  report += format("Product:         %s\n", printable(plugin.productName()).c_str());
  report += format("Vendor version:  %ld\n", static_cast<long>(plugin.vendorVersion()));
  const std::string vectorPath = plugin.vectorPath();
  if (!vectorPath.empty()) report += format("Vector path:     %s\n", printable(vectorPath).c_str());
  report += format("Unique ID:       %s\n", describeUniqueId(record.uniqueID).c_str());
  report += format("Version:         %d\n", record.version);
  report += format("Programs:        %d\n", plugin.programCount());
  report += format("Parameters:      %d\n", plugin.parameterCount());
  report += format("Inputs:          %d\n", plugin.inputCount());
  report += format("Outputs:         %d\n", plugin.outputCount());
  report += format("Initial delay:   %d\n", record.initialDelay);
  report +=
      format("Flags:           0x%X %s\n", static_cast<unsigned>(record.flags), describeFlags(record.flags).c_str());
  const VstIntPtr category = plugin.category();
  report += format("Category:        %ld (%s)\n", static_cast<long>(category), categoryName(category).c_str());
  report += "Can do:         ";
  for (const char* word : kCapabilityWords) {
    report += format(" %s=%ld", word, static_cast<long>(plugin.canDo(word)));
  }
  report += "\n";

  std::vector<std::string> names;
  std::vector<std::string> displays;
  std::vector<std::string> labels;
  std::size_t nameWidth = 4;
  std::size_t displayWidth = 7;
  for (int index = 0; index < plugin.parameterCount(); ++index) {
    names.push_back(printable(plugin.parameterName(index)));
    displays.push_back(printable(plugin.parameterDisplay(index)));
    labels.push_back(printable(plugin.parameterLabel(index)));
    nameWidth = std::max(nameWidth, names.back().size());
    displayWidth = std::max(displayWidth, displays.back().size());
  }
  report += format("\nParameters (%d)\n", plugin.parameterCount());
  report += format("%5s  %-*s  %-*s  %-8s  %s\n", "Index", static_cast<int>(nameWidth), "Name",
                   static_cast<int>(displayWidth), "Display", "Label", "Value");
  for (int index = 0; index < plugin.parameterCount(); ++index) {
    const auto i = static_cast<std::size_t>(index);
    report += format("%5d  %-*s  %-*s  %-8s  %.6f\n", index, static_cast<int>(nameWidth), names[i].c_str(),
                     static_cast<int>(displayWidth), displays[i].c_str(), labels[i].c_str(),
                     static_cast<double>(plugin.parameter(index)));
  }
  report += format("\nPrograms (%d, current %d)\n", plugin.programCount(), plugin.currentProgram());
  for (int index = 0; index < plugin.programCount(); ++index) {
    report += format("%5d  %s\n", index, printable(plugin.programName(index)).c_str());
  }
  return report;
}

}  // namespace brume
