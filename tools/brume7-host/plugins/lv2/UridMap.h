#pragma once
// The host's urid:map and urid:unmap features: URIs to small integers and back.

#include <lv2/urid/urid.h>

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace brume {

class UridMap {
 public:
  UridMap();
  UridMap(const UridMap&) = delete;
  UridMap& operator=(const UridMap&) = delete;

  // Any thread; takes a lock, so plug-ins map their URIs when instantiated, not in run().
  LV2_URID map(const char* uri);
  // The URI of an id, or null for an unknown one. Any thread; takes a lock.
  const char* unmap(LV2_URID id);

  // The features' data handed to plug-ins; they live as long as the map.
  LV2_URID_Map* mapFeature() { return &mapData; }
  LV2_URID_Unmap* unmapFeature() { return &unmapData; }

 private:
  static LV2_URID mapCallback(LV2_URID_Map_Handle handle, const char* uri);
  static const char* unmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID id);

  std::mutex mutex;
  std::unordered_map<std::string, LV2_URID> ids;
  std::deque<std::string> uris;  // by id - 1; a deque keeps the texts where they are
  LV2_URID_Map mapData{};
  LV2_URID_Unmap unmapData{};
};

}  // namespace brume
