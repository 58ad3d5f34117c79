#pragma once
// An atom port's buffer: for an input port, the block's events as one
// atom:Sequence with frame time stamps; for an output port, room the plug-in
// fills. Its storage is made before playing; nothing is allocated per block.

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brume {

// The URIDs the buffers write.
struct AtomTypes {
  LV2_URID sequence = 0;
  LV2_URID chunk = 0;
  LV2_URID midiEvent = 0;
  LV2_URID object = 0;
  LV2_URID floatType = 0;
  LV2_URID position = 0;
  LV2_URID beatsPerMinute = 0;
  LV2_URID speed = 0;
};

class AtomSequence {
 public:
  // Bytes an input sequence needs: its header, then per event.
  static constexpr std::size_t kHeaderBytes = sizeof(LV2_Atom_Sequence);
  static constexpr std::size_t kMidiEventBytes = sizeof(LV2_Atom_Event) + 8;
  static constexpr std::size_t kPositionEventBytes = sizeof(LV2_Atom_Event) + 56;

  // Main thread: room for `bytes` of sequence (header included); keeps what it has when that is more.
  void reserve(std::size_t bytes);
  std::size_t capacity() const { return storage.size() * sizeof(std::uint64_t); }
  // The buffer connected to the port; it moves only in reserve.
  void* data() { return storage.data(); }

  // Audio thread, real-time safe. An empty input sequence.
  void clear(const AtomTypes& types) noexcept;
  // An output port's empty chunk that spans the capacity, as the plug-in expects it before run().
  void prepareOutput(const AtomTypes& types) noexcept;
  // Appends an event at `frame` (frames must not decrease); false when it does not fit.
  bool appendMidi(const AtomTypes& types, std::uint32_t frame, const std::uint8_t* bytes, std::size_t size) noexcept;
  // Appends a time:Position object with its tempo and speed.
  bool appendPosition(const AtomTypes& types, std::uint32_t frame, float beatsPerMinute, float speed) noexcept;
  // The events held (for tests): the sequence's body size.
  std::uint32_t bodySize() const noexcept;

 private:
  bool append(std::uint32_t frame, LV2_URID type, std::uint32_t size, const void* body) noexcept;
  LV2_Atom_Sequence* sequence() noexcept { return reinterpret_cast<LV2_Atom_Sequence*>(storage.data()); }

  // 64-bit words: atoms are 8-byte aligned.
  std::vector<std::uint64_t> storage;
};

}  // namespace brume
