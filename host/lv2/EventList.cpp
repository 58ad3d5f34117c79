#include "host/lv2/EventList.h"

namespace brume::lv2 {

bool EventList::add(const std::uint8_t* bytes, std::uint32_t size, std::int32_t frame) {
  if (size == 0 || size > 3 || header.numEvents == kCapacity) return false;
  VstMidiEvent& event = storage[header.numEvents];
  event = VstMidiEvent{};
  event.type = kMidiEventType;
  event.byteSize = static_cast<VstInt32>(sizeof(VstMidiEvent));
  event.deltaFrames = frame;
  for (std::uint32_t i = 0; i < size; ++i) event.midiData[i] = bytes[i];
  header.events[header.numEvents] = reinterpret_cast<VstEvent*>(&event);
  ++header.numEvents;
  return true;
}

}  // namespace brume::lv2
