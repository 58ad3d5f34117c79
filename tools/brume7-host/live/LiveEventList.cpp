#include "tools/brume7-host/live/LiveEventList.h"

#include <cstring>

namespace brume {
namespace {

constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kController = 0xB0;
constexpr std::uint8_t kAllNotesOff = 123;

// The bytes a channel message of this status carries, status included.
std::size_t messageLength(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      return 2;
    default:
      return 3;
  }
}

}  // namespace

LiveEventList::LiveEventList(std::size_t capacity) : events(capacity == 0 ? 1 : capacity) {}

void LiveEventList::clear() noexcept { count = 0; }

bool LiveEventList::add(std::uint32_t frame, const std::uint8_t* bytes, std::size_t size) noexcept {
  if (size == 0 || bytes[0] < 0x80 || bytes[0] >= 0xF0 || size < messageLength(bytes[0]) || size > 3) {
    skipped.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  if (count == events.size()) {
    dropped.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  MidiEvent& event = events[count];
  event = MidiEvent{};
  event.frame = frame;
  event.size = static_cast<std::uint8_t>(messageLength(bytes[0]));
  std::memcpy(event.bytes, bytes, event.size);
  ++count;
  track(bytes, size);
  return true;
}

void LiveEventList::track(const std::uint8_t* bytes, std::size_t size) noexcept {
  const std::uint8_t status = bytes[0] & 0xF0;
  const std::size_t channel = bytes[0] & 0x0F;
  channelsPlayed = static_cast<std::uint16_t>(channelsPlayed | (1u << channel));
  if (size < 3 || (status != kNoteOn && status != kNoteOff)) return;
  held[channel * 128 + (bytes[1] & 0x7F)] = status == kNoteOn && bytes[2] != 0;
}

void LiveEventList::addReleases(std::uint32_t frame) noexcept {
  for (std::size_t note = 0; note < held.size(); ++note) {
    if (!held[note]) continue;
    const std::uint8_t off[3] = {static_cast<std::uint8_t>(kNoteOff | (note / 128)),
                                 static_cast<std::uint8_t>(note % 128), 0};
    add(frame, off, 3);
  }
  for (std::uint8_t channel = 0; channel < 16; ++channel) {
    if ((channelsPlayed & (1u << channel)) == 0) continue;
    const std::uint8_t allOff[3] = {static_cast<std::uint8_t>(kController | channel), kAllNotesOff, 0};
    add(frame, allOff, 3);
  }
}

int LiveEventList::heldNoteCount() const noexcept { return static_cast<int>(held.count()); }

}  // namespace brume
