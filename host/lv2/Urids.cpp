#include "host/lv2/Urids.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include "host/lv2/PortLayout.h"

namespace brume::lv2 {

Urids::Urids(const LV2_URID_Map& map)
    : atomBlank(map.map(map.handle, LV2_ATOM__Blank)),
      atomObject(map.map(map.handle, LV2_ATOM__Object)),
      atomFloat(map.map(map.handle, LV2_ATOM__Float)),
      atomDouble(map.map(map.handle, LV2_ATOM__Double)),
      atomInt(map.map(map.handle, LV2_ATOM__Int)),
      atomLong(map.map(map.handle, LV2_ATOM__Long)),
      atomString(map.map(map.handle, LV2_ATOM__String)),
      midiEvent(map.map(map.handle, LV2_MIDI__MidiEvent)),
      timePosition(map.map(map.handle, LV2_TIME__Position)),
      timeBeatsPerMinute(map.map(map.handle, LV2_TIME__beatsPerMinute)),
      maxBlockLength(map.map(map.handle, LV2_BUF_SIZE__maxBlockLength)),
      nominalBlockLength(map.map(map.handle, LV2_BUF_SIZE__nominalBlockLength)),
      stateRecord(map.map(map.handle, kStateUri)) {}

}  // namespace brume::lv2
