#pragma once
// A lilv world that holds one LV2 plug-in's description: found by its URI
// among the installed plug-ins, or as the one plug-in of a bundle folder
// (only that bundle is loaded), and checked for what this host serves.

#include <lilv/lilv.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/brume7-host/plugins/lv2/Lv2Port.h"

namespace brume {

struct NodeRelease {
  void operator()(LilvNode* node) const { lilv_node_free(node); }
};
using LilvNodePointer = std::unique_ptr<LilvNode, NodeRelease>;

class Lv2World {
 public:
  // Finds and checks the plug-in named by its URI (`byUri`) or its bundle
  // folder: an instrument, with a MIDI input, whose required features and
  // ports this host serves. Throws ToolError. Main thread.
  Lv2World(const std::string& location, bool byUri);
  ~Lv2World();
  Lv2World(const Lv2World&) = delete;
  Lv2World& operator=(const Lv2World&) = delete;

  LilvWorld* world() const { return lilvWorld; }
  const LilvPlugin* plugin() const { return lilvPlugin; }
  const std::string& uri() const { return pluginUri; }
  const std::vector<Lv2Port>& ports() const { return portList; }

  // A URI node of this world.
  LilvNodePointer node(const char* uri) const { return LilvNodePointer(lilv_new_uri(lilvWorld, uri)); }
  // The first value of `predicate` on the plug-in as text, or "".
  std::string pluginValue(const char* predicate) const;

 private:
  void findInBundle(const std::string& folder);
  void findByUri(const std::string& uri);
  void check();
  void readPorts();

  LilvWorld* lilvWorld = nullptr;
  const LilvPlugin* lilvPlugin = nullptr;
  std::string pluginUri;
  std::vector<Lv2Port> portList;
};

// The URIs of the features this host offers or needs not offer.
bool featureServed(const std::string& uri);
// A URI shortened with the usual prefixes ("urid:map"), for reports.
std::string shortUri(const std::string& uri);

}  // namespace brume
