#pragma once
// The URIs the adapter meets at run time, mapped once at instantiation.

#include <lv2/urid/urid.h>

namespace brume::lv2 {

struct Urids {
  // Instantiation thread.
  explicit Urids(const LV2_URID_Map& map);

  LV2_URID atomBlank;
  LV2_URID atomObject;
  LV2_URID atomFloat;
  LV2_URID atomDouble;
  LV2_URID atomInt;
  LV2_URID atomLong;
  LV2_URID atomString;
  LV2_URID midiEvent;
  LV2_URID timePosition;
  LV2_URID timeBeatsPerMinute;
  LV2_URID maxBlockLength;
  LV2_URID nominalBlockLength;
  LV2_URID stateRecord;
};

}  // namespace brume::lv2
