#include "tools/brume7-host/plugins/lv2/AtomSequence.h"

#include <algorithm>
#include <cstring>

namespace brume {
namespace {

constexpr std::uint32_t padded(std::uint32_t size) { return (size + 7u) & ~7u; }

// A property of an object holding one float, as the atom layout puts it: key,
// context, the value's atom header and its body, padded to 8 bytes.
struct FloatProperty {
  LV2_Atom_Property_Body head;
  float value;
  std::uint32_t padding;
};

struct PositionBody {
  LV2_Atom_Object_Body object;
  FloatProperty tempo;
  FloatProperty speed;
};

static_assert(sizeof(PositionBody) + sizeof(LV2_Atom_Event) == AtomSequence::kPositionEventBytes,
              "a position event is the size the buffers reserve");

FloatProperty floatProperty(const AtomTypes& types, LV2_URID key, float value) {
  FloatProperty property{};
  property.head.key = key;
  property.head.context = 0;
  property.head.value.size = sizeof(float);
  property.head.value.type = types.floatType;
  property.value = value;
  return property;
}

}  // namespace

void AtomSequence::reserve(std::size_t bytes) {
  bytes = std::max(bytes, sizeof(LV2_Atom_Sequence));
  const std::size_t words = (bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
  if (words > storage.size()) storage.assign(words, 0);
}

void AtomSequence::clear(const AtomTypes& types) noexcept {
  if (storage.empty()) return;
  LV2_Atom_Sequence* list = sequence();
  list->atom.size = sizeof(LV2_Atom_Sequence_Body);
  list->atom.type = types.sequence;
  list->body.unit = 0;  // time stamps in frames
  list->body.pad = 0;
}

void AtomSequence::prepareOutput(const AtomTypes& types) noexcept {
  if (storage.empty()) return;
  LV2_Atom* atom = &sequence()->atom;
  atom->size = static_cast<std::uint32_t>(capacity() - sizeof(LV2_Atom));
  atom->type = types.chunk;
}

bool AtomSequence::append(std::uint32_t frame, LV2_URID type, std::uint32_t size, const void* body) noexcept {
  if (storage.empty()) return false;
  LV2_Atom_Sequence* list = sequence();
  const std::size_t used = sizeof(LV2_Atom) + list->atom.size;
  const std::size_t needed = sizeof(LV2_Atom_Event) + padded(size);
  if (used + needed > capacity()) return false;
  auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<std::uint8_t*>(storage.data()) + used);
  event->time.frames = frame;
  event->body.size = size;
  event->body.type = type;
  auto* target = reinterpret_cast<std::uint8_t*>(event + 1);
  std::memcpy(target, body, size);
  std::memset(target + size, 0, padded(size) - size);
  list->atom.size += static_cast<std::uint32_t>(needed);
  return true;
}

bool AtomSequence::appendMidi(const AtomTypes& types, std::uint32_t frame, const std::uint8_t* bytes,
                              std::size_t size) noexcept {
  return append(frame, types.midiEvent, static_cast<std::uint32_t>(size), bytes);
}

bool AtomSequence::appendPosition(const AtomTypes& types, std::uint32_t frame, float beatsPerMinute,
                                  float speed) noexcept {
  PositionBody body{};
  body.object.id = 0;
  body.object.otype = types.position;
  // The property's atom covers its float; the padding after it is not part of the value.
  body.tempo = floatProperty(types, types.beatsPerMinute, beatsPerMinute);
  body.speed = floatProperty(types, types.speed, speed);
  return append(frame, types.object, sizeof body, &body);
}

std::uint32_t AtomSequence::bodySize() const noexcept {
  if (storage.empty()) return 0;
  return reinterpret_cast<const LV2_Atom_Sequence*>(storage.data())->atom.size;
}

}  // namespace brume
