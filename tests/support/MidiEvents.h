#pragma once
// MIDI events and event lists as a host hands them over, for tests.

#include <vector>

#include "host/HostRecords.h"

namespace brume::test {

inline VstMidiEvent midiEvent(unsigned char status, unsigned char data1, unsigned char data2, VstInt32 deltaFrames = 0,
                              signed char detune = 0) {
  VstMidiEvent event{};
  event.type = kMidiEventType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = deltaFrames;
  event.midiData[0] = status;
  event.midiData[1] = data1;
  event.midiData[2] = data2;
  event.detune = detune;
  return event;
}

// A list with room for 32 events, filled before use so that handing it over allocates nothing.
struct MidiEventList {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[32] = {};
  VstMidiEvent storage[32] = {};

  MidiEventList() = default;
  explicit MidiEventList(const std::vector<VstMidiEvent>& midiEvents) { set(midiEvents); }
  MidiEventList(const MidiEventList&) = delete;
  MidiEventList& operator=(const MidiEventList&) = delete;

  void set(const std::vector<VstMidiEvent>& midiEvents) {
    numEvents = 0;
    for (const VstMidiEvent& event : midiEvents) {
      if (numEvents == 32) break;
      storage[numEvents] = event;
      events[numEvents] = reinterpret_cast<VstEvent*>(&storage[numEvents]);
      ++numEvents;
    }
  }
  VstEvents* list() { return reinterpret_cast<VstEvents*>(this); }
};

}  // namespace brume::test
