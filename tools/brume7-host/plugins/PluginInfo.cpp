#include "tools/brume7-host/plugins/PluginInfo.h"

#include <algorithm>
#include <vector>

#include "tools/brume7-host/plugins/ReportText.h"

namespace brume {

std::string describePlugin(Plugin& plugin) {
  std::string report = plugin.describeIdentity();
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
  report += formatText("\nParameters (%d)\n", plugin.parameterCount());
  report += formatText("%5s  %-*s  %-*s  %-8s  %s\n", "Index", static_cast<int>(nameWidth), "Name",
                       static_cast<int>(displayWidth), "Display", "Label", "Value");
  for (int index = 0; index < plugin.parameterCount(); ++index) {
    const auto i = static_cast<std::size_t>(index);
    report += formatText("%5d  %-*s  %-*s  %-8s  %.6f\n", index, static_cast<int>(nameWidth), names[i].c_str(),
                         static_cast<int>(displayWidth), displays[i].c_str(), labels[i].c_str(),
                         static_cast<double>(plugin.parameter(index)));
  }
  const int current = plugin.currentProgram();
  report += current >= 0 ? formatText("\nPrograms (%d, current %d)\n", plugin.programCount(), current)
                         : formatText("\nPrograms (%d)\n", plugin.programCount());
  for (int index = 0; index < plugin.programCount(); ++index) {
    report += formatText("%5d  %s\n", index, printable(plugin.programName(index)).c_str());
  }
  return report + plugin.describeDetails();
}

}  // namespace brume
