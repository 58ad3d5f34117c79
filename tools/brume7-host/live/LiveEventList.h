#pragma once
// The event list of one live cycle: MIDI messages at their frame in the cycle,
// in storage allocated up front. Messages beyond the capacity are counted, not
// lost silently; the notes still held are remembered so that a stop can release them.

#include <atomic>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

class LiveEventList {
 public:
  // Main thread, before playing.
  explicit LiveEventList(std::size_t capacity);

  LiveEventList(const LiveEventList&) = delete;
  LiveEventList& operator=(const LiveEventList&) = delete;

  // Audio thread, real-time safe from here on.
  void clear() noexcept;
  // Adds one channel message of 1 to 3 bytes at `frame`; false (and counted)
  // when the list is full. System messages and longer ones are skipped and counted.
  bool add(std::uint32_t frame, const std::uint8_t* bytes, std::size_t size) noexcept;
  // Adds a note-off for every held note, then controller 123 (all notes off)
  // on every channel that played, all at `frame`.
  void addReleases(std::uint32_t frame) noexcept;

  std::size_t size() const noexcept { return count; }
  // The frame of the last event in the list, 0 when it is empty.
  std::uint32_t lastFrame() const noexcept { return count > 0 ? events[count - 1].frame : 0; }
  std::size_t capacity() const noexcept { return events.size(); }
  // The events in the order added; valid until the next clear.
  const MidiEvent* data() const noexcept { return events.data(); }

  // Any thread.
  std::uint64_t droppedEvents() const noexcept { return dropped.load(std::memory_order_relaxed); }
  std::uint64_t skippedMessages() const noexcept { return skipped.load(std::memory_order_relaxed); }
  // Main thread, once the audio thread has stopped.
  int heldNoteCount() const noexcept;

 private:
  void track(const std::uint8_t* bytes, std::size_t size) noexcept;

  std::vector<MidiEvent> events;
  std::size_t count = 0;
  std::bitset<16 * 128> held;
  std::uint16_t channelsPlayed = 0;
  std::atomic<std::uint64_t> dropped{0};
  std::atomic<std::uint64_t> skipped{0};
};

}  // namespace brume
