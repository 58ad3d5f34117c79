#include "tools/brume7-host/plugins/lv2/Lv2World.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/resize-port/resize-port.h>
#include <lv2/time/time.h>
#include <lv2/units/units.h>
#include <lv2/urid/urid.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

const char* const kServedFeatures[] = {
    LV2_URID__map,           LV2_URID__unmap,  LV2_OPTIONS__options,    LV2_BUF_SIZE__boundedBlockLength,
    LV2_CORE__hardRTCapable, LV2_CORE__isLive, LV2_CORE__inPlaceBroken,
};

struct Prefix {
  const char* name;
  const char* uri;
};

const Prefix kPrefixes[] = {
    {"lv2:", LV2_CORE_PREFIX},
    {"urid:", LV2_URID_PREFIX},
    {"opts:", LV2_OPTIONS_PREFIX},
    {"bufsz:", LV2_BUF_SIZE_PREFIX},
    {"atom:", LV2_ATOM_PREFIX},
    {"time:", LV2_TIME_PREFIX},
    {"state:", "http://lv2plug.in/ns/ext/state#"},
    {"worker:", "http://lv2plug.in/ns/ext/worker#"},
    {"kx-programs:", "http://kxstudio.sf.net/ns/lv2ext/programs#"},
};

std::string nodeText(const LilvNode* node) {
  if (node == nullptr) return "";
  if (lilv_node_is_uri(node)) return lilv_node_as_uri(node);
  const char* text = lilv_node_as_string(node);
  return text != nullptr ? text : "";
}

float nodeFloat(const LilvNode* node, float fallback) {
  return node != nullptr && (lilv_node_is_float(node) || lilv_node_is_int(node)) ? lilv_node_as_float(node) : fallback;
}

bool isDirectory(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

bool featureServed(const std::string& uri) {
  for (const char* served : kServedFeatures) {
    if (uri == served) return true;
  }
  return false;
}

std::string shortUri(const std::string& uri) {
  for (const Prefix& prefix : kPrefixes) {
    const std::string start = prefix.uri;
    if (uri.compare(0, start.size(), start) == 0) return prefix.name + uri.substr(start.size());
  }
  return uri;
}

Lv2World::Lv2World(const std::string& location, bool byUri) {
  lilvWorld = lilv_world_new();
  if (lilvWorld == nullptr) throw ToolError("cannot start lilv to load LV2 plug-ins");
  try {
    if (byUri) {
      findByUri(location);
    } else {
      findInBundle(location);
    }
    check();
    readPorts();
  } catch (...) {
    lilv_world_free(lilvWorld);
    throw;
  }
}

Lv2World::~Lv2World() { lilv_world_free(lilvWorld); }

void Lv2World::findInBundle(const std::string& folder) {
  if (!isDirectory(folder)) throw ToolError("no LV2 bundle at '" + folder + "'");
  char* real = realpath(folder.c_str(), nullptr);
  if (real == nullptr) throw ToolError("no LV2 bundle at '" + folder + "'");
  std::string path = real;
  std::free(real);
  struct stat status {};
  if (stat((path + "/manifest.ttl").c_str(), &status) != 0) {
    throw ToolError("'" + folder + "' is not an LV2 bundle: it has no manifest.ttl");
  }
  // A bundle's URI ends with a slash.
  LilvNodePointer bundle(lilv_new_file_uri(lilvWorld, nullptr, (path + "/").c_str()));
  lilv_world_load_bundle(lilvWorld, bundle.get());
  const LilvPlugins* plugins = lilv_world_get_all_plugins(lilvWorld);
  std::vector<const LilvPlugin*> found;
  LILV_FOREACH(plugins, i, plugins) {
    const LilvPlugin* candidate = lilv_plugins_get(plugins, i);
    if (lilv_node_equals(lilv_plugin_get_bundle_uri(candidate), bundle.get())) found.push_back(candidate);
  }
  if (found.empty()) throw ToolError("LV2 bundle '" + folder + "' describes no plug-in");
  if (found.size() > 1) {
    std::string uris;
    for (const LilvPlugin* candidate : found) {
      uris += (uris.empty() ? "" : ", ") + nodeText(lilv_plugin_get_uri(candidate));
    }
    throw ToolError("LV2 bundle '" + folder + "' holds " + std::to_string(found.size()) +
                    " plug-ins; name one by its URI: " + uris);
  }
  lilvPlugin = found.front();
  pluginUri = nodeText(lilv_plugin_get_uri(lilvPlugin));
}

void Lv2World::findByUri(const std::string& uri) {
  lilv_world_load_all(lilvWorld);
  LilvNodePointer wanted = node(uri.c_str());
  lilvPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), wanted.get());
  if (lilvPlugin == nullptr) {
    throw ToolError("no LV2 plug-in with the URI '" + uri + "' is installed (lv2ls lists those that are)");
  }
  pluginUri = uri;
}

void Lv2World::check() {
  const std::string what = "LV2 plug-in '" + pluginUri + "'";
  if (!lilv_plugin_verify(lilvPlugin)) throw ToolError(what + " has an invalid description");
  LilvNodePointer instrument = node(LV2_CORE__InstrumentPlugin);
  LilvNodePointer type = node(LILV_NS_RDF "type");
  if (!lilv_world_ask(lilvWorld, lilv_plugin_get_uri(lilvPlugin), type.get(), instrument.get())) {
    throw ToolError(what + " is not an instrument (no lv2:InstrumentPlugin): brume7-host plays instruments");
  }
  LilvNodes* required = lilv_plugin_get_required_features(lilvPlugin);
  std::string missing;
  LILV_FOREACH(nodes, i, required) {
    const std::string feature = nodeText(lilv_nodes_get(required, i));
    if (!featureServed(feature)) missing += (missing.empty() ? "" : ", ") + shortUri(feature);
  }
  lilv_nodes_free(required);
  if (!missing.empty()) throw ToolError(what + " needs features brume7-host does not offer: " + missing);
}

void Lv2World::readPorts() {
  const std::string what = "LV2 plug-in '" + pluginUri + "'";
  LilvNodePointer inputClass = node(LV2_CORE__InputPort);
  LilvNodePointer audioClass = node(LV2_CORE__AudioPort);
  LilvNodePointer controlClass = node(LV2_CORE__ControlPort);
  LilvNodePointer atomClass = node(LV2_ATOM__AtomPort);
  LilvNodePointer cvClass = node(LV2_CORE__CVPort);
  LilvNodePointer optional = node(LV2_CORE__connectionOptional);
  LilvNodePointer integer = node(LV2_CORE__integer);
  LilvNodePointer toggled = node(LV2_CORE__toggled);
  LilvNodePointer enumeration = node(LV2_CORE__enumeration);
  LilvNodePointer unit = node(LV2_UNITS__unit);
  LilvNodePointer unitSymbol = node(LV2_UNITS__symbol);
  LilvNodePointer midiEvent = node(LV2_MIDI__MidiEvent);
  LilvNodePointer position = node(LV2_TIME__Position);
  LilvNodePointer minimumSize = node(LV2_RESIZE_PORT__minimumSize);

  const std::uint32_t count = lilv_plugin_get_num_ports(lilvPlugin);
  bool hasMidiInput = false;
  for (std::uint32_t index = 0; index < count; ++index) {
    const LilvPort* source = lilv_plugin_get_port_by_index(lilvPlugin, index);
    Lv2Port port;
    port.index = index;
    port.input = lilv_port_is_a(lilvPlugin, source, inputClass.get());
    port.optional = lilv_port_has_property(lilvPlugin, source, optional.get());
    port.symbol = nodeText(lilv_port_get_symbol(lilvPlugin, source));
    LilvNode* name = lilv_port_get_name(lilvPlugin, source);
    port.name = name != nullptr ? nodeText(name) : port.symbol;
    lilv_node_free(name);
    if (lilv_port_is_a(lilvPlugin, source, audioClass.get())) port.kind = Lv2Port::Kind::Audio;
    if (lilv_port_is_a(lilvPlugin, source, controlClass.get())) port.kind = Lv2Port::Kind::Control;
    if (lilv_port_is_a(lilvPlugin, source, atomClass.get())) port.kind = Lv2Port::Kind::Atom;
    if (lilv_port_is_a(lilvPlugin, source, cvClass.get())) port.kind = Lv2Port::Kind::Cv;
    if (port.kind == Lv2Port::Kind::Other && !port.optional) {
      throw ToolError(what + " has a port of a kind brume7-host does not serve ('" + port.symbol + "')");
    }

    if (port.kind == Lv2Port::Kind::Control) {
      LilvNode* defaultNode = nullptr;
      LilvNode* minimumNode = nullptr;
      LilvNode* maximumNode = nullptr;
      lilv_port_get_range(lilvPlugin, source, &defaultNode, &minimumNode, &maximumNode);
      port.minimum = nodeFloat(minimumNode, std::numeric_limits<float>::lowest());
      port.maximum = nodeFloat(maximumNode, std::numeric_limits<float>::max());
      port.defaultValue = nodeFloat(defaultNode, port.minimum > 0.0f ? port.minimum : 0.0f);
      lilv_node_free(defaultNode);
      lilv_node_free(minimumNode);
      lilv_node_free(maximumNode);
      port.integer = lilv_port_has_property(lilvPlugin, source, integer.get());
      port.toggled = lilv_port_has_property(lilvPlugin, source, toggled.get());
      port.enumeration = lilv_port_has_property(lilvPlugin, source, enumeration.get());
      if (LilvScalePoints* points = lilv_port_get_scale_points(lilvPlugin, source)) {
        LILV_FOREACH(scale_points, i, points) {
          const LilvScalePoint* point = lilv_scale_points_get(points, i);
          port.scalePoints.emplace_back(nodeFloat(lilv_scale_point_get_value(point), 0.0f),
                                        nodeText(lilv_scale_point_get_label(point)));
        }
        lilv_scale_points_free(points);
        std::sort(port.scalePoints.begin(), port.scalePoints.end());
      }
      if (LilvNodes* units = lilv_port_get_value(lilvPlugin, source, unit.get())) {
        const LilvNode* unitNode = lilv_nodes_get_first(units);
        // The unit's own symbol where the world knows the unit (a custom one, or a loaded vocabulary).
        LilvNode* symbol =
            unitNode != nullptr ? lilv_world_get(lilvWorld, unitNode, unitSymbol.get(), nullptr) : nullptr;
        port.unitSymbol = symbol != nullptr ? nodeText(symbol) : unitSymbolOf(nodeText(unitNode));
        lilv_node_free(symbol);
        lilv_nodes_free(units);
      }
    }
    if (port.kind == Lv2Port::Kind::Atom) {
      port.supportsMidi = lilv_port_supports_event(lilvPlugin, source, midiEvent.get());
      port.supportsPosition = lilv_port_supports_event(lilvPlugin, source, position.get());
      if (LilvNodes* sizes = lilv_port_get_value(lilvPlugin, source, minimumSize.get())) {
        const LilvNode* size = lilv_nodes_get_first(sizes);
        if (size != nullptr && lilv_node_is_int(size) && lilv_node_as_int(size) > 0) {
          port.minimumSize = static_cast<std::uint32_t>(lilv_node_as_int(size));
        }
        lilv_nodes_free(sizes);
      }
      hasMidiInput = hasMidiInput || (port.input && port.supportsMidi);
    }
    portList.push_back(port);
  }
  if (!hasMidiInput) throw ToolError(what + " has no MIDI input (an atom port that supports midi:MidiEvent)");
}

std::string Lv2World::pluginValue(const char* predicate) const {
  LilvNodePointer key = node(predicate);
  LilvNodes* values = lilv_plugin_get_value(lilvPlugin, key.get());
  const std::string text = values != nullptr ? nodeText(lilv_nodes_get_first(values)) : "";
  lilv_nodes_free(values);
  return text;
}

}  // namespace brume
