// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#include "tests/reference/EventIntake.h"

#include "engine/ModulationTargets.h"
#include "engine/ParameterIndex.h"

namespace brume::reference {

namespace {

constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kController = 0xB0;
constexpr std::uint8_t kResetController = 126;

struct EventModulator {
  std::int32_t target;  // a parameter index, or kNoTarget
  std::int32_t key;
  float pressValue;
  float releaseValue;
};

// Read afresh for every use: a modulator may have just changed another's settings.
EventModulator eventModulator(const ParameterValues& values, std::int32_t modulator) noexcept {
  const std::int32_t base = kE1Aim + kEventModulatorStride * modulator;
  std::int32_t target = eventTarget(values.get(base));
  // Only a host can send an aim below 0; a target outside the parameters is none.
  if (!isParameterIndex(target)) target = kNoTarget;
  return {target, truncateToInt32(128.0 * static_cast<double>(values.get(base + 1))), values.get(base + 2),
          values.get(base + 3)};
}

}  // namespace

MidiMessageKind classifyMidiMessage(const MidiMessage& message) noexcept {
  const std::uint8_t status = message.status & 0xF0;
  if (status == kController && message.data1 == kResetController) return MidiMessageKind::EngineReset;
  if (status == kNoteOn && (message.data2 & 0x7F) > 0) return MidiMessageKind::NoteStart;
  if (status == kNoteOff || status == kNoteOn) return MidiMessageKind::NoteRelease;
  return MidiMessageKind::Other;
}

void handleMidiMessage(int pass, const MidiMessage& message, SynthEngine& engine, const ParameterValues& values,
                       ParameterWriter& writer) noexcept {
  if (pass != kModulatorPass && pass != kVoicePass) return;
  const std::int32_t key = message.data1 & 0x7F;
  const std::int32_t velocity = message.data2 & 0x7F;

  switch (classifyMidiMessage(message)) {
    case MidiMessageKind::EngineReset:
      engine.resetEngine();
      break;
    case MidiMessageKind::NoteStart: {
      bool taken = false;
      for (std::int32_t k = 0; k < kEventModulatorCount; ++k) {
        const EventModulator modulator = eventModulator(values, k);
        if (modulator.key != key || modulator.target == kNoTarget) continue;
        taken = true;
        if (pass == kModulatorPass) writer.writeParameter(modulator.target, modulator.pressValue);
      }
      if (!taken && pass == kVoicePass) {
        const float pitch = static_cast<float>(key) + static_cast<float>(message.detune) * 0.01f;
        engine.noteOn(key, pitch, static_cast<float>(velocity) * 0.0078125f, message.deltaFrames);
      }
      break;
    }
    case MidiMessageKind::NoteRelease:
      if (pass == kModulatorPass) {
        for (std::int32_t k = 0; k < kEventModulatorCount; ++k) {
          const EventModulator modulator = eventModulator(values, k);
          if (modulator.key == key && modulator.target != kNoTarget) {
            writer.writeParameter(modulator.target, modulator.releaseValue);
          }
        }
      } else {
        engine.noteOff(key, message.deltaFrames);
      }
      break;
    case MidiMessageKind::Other:
      break;
  }
}

}  // namespace brume::reference
