#pragma once
// One block's MIDI as the event list the instrument takes, in storage of a
// fixed size made with the instance: filling it never allocates. A block with
// more than kCapacity MIDI events keeps its first kCapacity; the rest are dropped.

#include <cstddef>
#include <cstdint>

#include "host/HostRecords.h"

namespace brume::lv2 {

class EventList {
 public:
  static constexpr std::int32_t kCapacity = 1024;

  // Audio thread, real-time safe, from here on.
  void clear() { header.numEvents = 0; }
  // A MIDI message of one to three bytes at `frame` of the block; false when it was dropped.
  bool add(const std::uint8_t* bytes, std::uint32_t size, std::int32_t frame);
  std::int32_t size() const { return header.numEvents; }
  VstEvents* list() { return reinterpret_cast<VstEvents*>(&header); }

 private:
  // The layout of VstEvents, its pointer array long enough for the whole storage.
  struct Header {
    VstInt32 numEvents = 0;
    VstIntPtr reserved = 0;
    VstEvent* events[kCapacity] = {};
  };
  static_assert(offsetof(Header, numEvents) == offsetof(VstEvents, numEvents) &&
                    offsetof(Header, events) == offsetof(VstEvents, events),
                "the header is laid out as VstEvents");

  Header header;
  VstMidiEvent storage[kCapacity] = {};
};

}  // namespace brume::lv2
