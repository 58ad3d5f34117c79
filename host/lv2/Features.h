#pragma once
// The data of a host feature found by its URI, or null when the host does not offer it.

#include <lv2/core/lv2.h>

#include <cstring>

namespace brume::lv2 {

// Instantiation or UI thread.
inline const void* featureData(const LV2_Feature* const* features, const char* uri) {
  if (!features) return nullptr;
  for (const LV2_Feature* const* feature = features; *feature; ++feature)
    if ((*feature)->URI && std::strcmp((*feature)->URI, uri) == 0) return (*feature)->data;
  return nullptr;
}

}  // namespace brume::lv2
