// The LV2 part of `brume7-host info`: where the plug-in lives, what it needs,
// its ports and its presets.

#include <lv2/presets/presets.h>

#include <algorithm>

#include "tools/brume7-host/plugins/ReportText.h"
#include "tools/brume7-host/plugins/lv2/Lv2Plugin.h"

namespace brume {
namespace {

std::string pathOf(const LilvNode* uri) {
  if (uri == nullptr) return "";
  char* path = lilv_node_get_path(uri, nullptr);
  const std::string text = path != nullptr ? path : lilv_node_as_uri(uri);
  lilv_free(path);
  return text;
}

// "urid:map opts:options", or "none".
std::string uriList(LilvNodes* nodes) {
  std::string text;
  LILV_FOREACH(nodes, i, nodes) {
    const LilvNode* node = lilv_nodes_get(nodes, i);
    text += (text.empty() ? "" : " ") + shortUri(lilv_node_is_uri(node) ? lilv_node_as_uri(node) : "?");
  }
  lilv_nodes_free(nodes);
  return text.empty() ? "none" : text;
}

std::string limitText(float value) {
  if (value <= -3.0e38f) return "-inf";
  if (value >= 3.0e38f) return "inf";
  return formatText("%g", static_cast<double>(value));
}

}  // namespace

std::string Lv2Plugin::describeIdentity() {
  const LilvPlugin* plugin = description->plugin();
  std::string events;
  for (const Lv2Port& port : description->ports()) {
    if (static_cast<int>(port.index) != eventInput) continue;
    events = formatText("port %u '%s'%s", port.index, port.symbol.c_str(),
                        port.supportsPosition ? ", takes time:Position" : "");
  }
  std::string report;
  report += formatText("Plug-in:         %s (LV2)\n", printable(description->uri()).c_str());
  report += formatText("Bundle:          %s\n", printable(pathOf(lilv_plugin_get_bundle_uri(plugin))).c_str());
  report += formatText("Binary:          %s\n", printable(pathOf(lilv_plugin_get_library_uri(plugin))).c_str());
  report += formatText("Name:            %s\n", printable(name()).c_str());
  report += formatText("Author:          %s\n", printable(vendor()).c_str());
  report += formatText("Version:         %s\n", versionText().c_str());
  report += formatText("Programs:        %d%s\n", programCount(),
                       programs != nullptr ? " (KXStudio programs extension)" : "");
  report += formatText("Parameters:      %d\n", parameterCount());
  report += formatText("Inputs:          %d\n", inputCount());
  report += formatText("Outputs:         %d\n", outputCount());
  report += formatText("MIDI input:      %s\n", events.c_str());
  report += formatText("Required:        %s\n", uriList(lilv_plugin_get_required_features(plugin)).c_str());
  report += formatText("Optional:        %s\n", uriList(lilv_plugin_get_optional_features(plugin)).c_str());
  report += formatText("Extensions:      %s\n", uriList(lilv_plugin_get_extension_data(plugin)).c_str());
  return report;
}

std::string Lv2Plugin::describeDetails() {
  const std::vector<Lv2Port>& ports = description->ports();
  std::size_t symbolWidth = 6;
  std::size_t nameWidth = 4;
  for (const Lv2Port& port : ports) {
    symbolWidth = std::max(symbolWidth, port.symbol.size());
    nameWidth = std::max(nameWidth, printable(port.name).size());
  }
  std::string report = formatText("\nPorts (%zu)\n", ports.size());
  report += formatText("%5s  %-*s  %-11s  %-*s  %s\n", "Index", static_cast<int>(symbolWidth), "Symbol", "Kind",
                       static_cast<int>(nameWidth), "Name", "Range, default or events");
  for (const Lv2Port& port : ports) {
    std::string more;
    if (port.kind == Lv2Port::Kind::Control) {
      more = limitText(port.minimum) + ".." + limitText(port.maximum) + ", default " + limitText(port.defaultValue);
      if (!port.unitSymbol.empty()) more += " " + port.unitSymbol;
      if (port.toggled) more += ", toggled";
      if (port.integer) more += ", integer";
      if (port.enumeration) more += ", enumeration";
      for (const auto& [value, label] : port.scalePoints) more += ", " + limitText(value) + " = " + label;
    }
    if (port.kind == Lv2Port::Kind::Atom) {
      more = std::string(port.supportsMidi ? "midi:MidiEvent" : "") +
             (port.supportsPosition ? (port.supportsMidi ? " time:Position" : "time:Position") : "");
    }
    report += formatText("%5u  %-*s  %-11s  %-*s  %s\n", port.index, static_cast<int>(symbolWidth), port.symbol.c_str(),
                         port.kindText().c_str(), static_cast<int>(nameWidth), printable(port.name).c_str(),
                         printable(more).c_str());
  }

  LilvWorld* world = description->world();
  LilvNodePointer presetClass = description->node(LV2_PRESETS__Preset);
  LilvNodePointer label = description->node(LILV_NS_RDFS "label");
  LilvNodes* presets = lilv_plugin_get_related(description->plugin(), presetClass.get());
  std::vector<std::pair<std::string, std::string>> found;
  LILV_FOREACH(nodes, i, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, i);
    lilv_world_load_resource(world, preset);
    LilvNode* text = lilv_world_get(world, preset, label.get(), nullptr);
    found.emplace_back(text != nullptr ? lilv_node_as_string(text) : "", lilv_node_as_uri(preset));
    lilv_node_free(text);
  }
  lilv_nodes_free(presets);
  std::sort(found.begin(), found.end());
  report += formatText("\nPresets (%zu)\n", found.size());
  for (const auto& [name, uri] : found) {
    report += formatText("  %s  <%s>\n", printable(name).c_str(), printable(uri).c_str());
  }
  return report;
}

}  // namespace brume
