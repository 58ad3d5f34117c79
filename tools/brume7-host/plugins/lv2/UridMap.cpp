#include "tools/brume7-host/plugins/lv2/UridMap.h"

namespace brume {

UridMap::UridMap() {
  mapData.handle = this;
  mapData.map = mapCallback;
  unmapData.handle = this;
  unmapData.unmap = unmapCallback;
}

LV2_URID UridMap::map(const char* uri) {
  if (uri == nullptr) return 0;
  std::lock_guard<std::mutex> lock(mutex);
  const auto found = ids.find(uri);
  if (found != ids.end()) return found->second;
  uris.emplace_back(uri);
  const auto id = static_cast<LV2_URID>(uris.size());
  ids.emplace(uris.back(), id);
  return id;
}

const char* UridMap::unmap(LV2_URID id) {
  std::lock_guard<std::mutex> lock(mutex);
  return id >= 1 && id <= uris.size() ? uris[id - 1].c_str() : nullptr;
}

LV2_URID UridMap::mapCallback(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<UridMap*>(handle)->map(uri);
}

const char* UridMap::unmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID id) {
  return static_cast<UridMap*>(handle)->unmap(id);
}

}  // namespace brume
