// Event lists and the two processing entries, both leading to renderBlock.
#include "engine/BlockRenderer.h"
#include "engine/EventIntake.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentView.h"
#include "instrument/ThreadToken.h"

namespace brume {

class Instrument::AudioEntry {
 public:
  explicit AudioEntry(Instrument& instrument)
      : instrument(instrument),
        previous(instrument.renderingThread.exchange(currentThreadToken(), std::memory_order_acq_rel)) {
    instrument.lastAudioThread.store(currentThreadToken(), std::memory_order_release);
    instrument.applyHandedOverChanges();
  }
  ~AudioEntry() { instrument.renderingThread.store(previous, std::memory_order_release); }

  AudioEntry(const AudioEntry&) = delete;
  AudioEntry& operator=(const AudioEntry&) = delete;

 private:
  Instrument& instrument;
  std::uintptr_t previous;  // a host may call one entry from inside another
};

VstInt32 Instrument::receiveEvents(VstEvents* events) {
  const AudioEntry entry(*this);
  if (!events) return 1;
  // Hosts allocate the pointer array past its two declared entries: index from its first entry, not the array.
  VstEvent* const* entries = &events->events[0];
  // Two passes: every modulator write of the list lands before any voice starts or ends.
  for (int pass = kModulatorPass; pass <= kVoicePass; ++pass) {
    // The count is read again at each step.
    for (VstInt32 position = 0; position < events->numEvents; ++position) {
      const VstEvent* event = entries[position];
      if (!event) continue;
      if (traceSink)
        traceFormat("Event : type %d (stay : %d)\n", static_cast<int>(event->type),
                    static_cast<int>(events->numEvents - position - 1));
      if (event->type != kMidiEventType) continue;

      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      const MidiMessage message{midi->midiData[0], midi->midiData[1], midi->midiData[2], midi->detune,
                                midi->deltaFrames};
      switch (classifyMidiMessage(message)) {
        case MidiMessageKind::NoteStart:
          trace("Note In\n");
          break;
        case MidiMessageKind::NoteRelease:
          trace("Note Out\n");
          break;
        default:
          break;
      }
      handleMidiMessage(pass, message, engine, currentValues, *this);
    }
  }
  return 1;
}

void Instrument::process(float** inputs, float** outputs, VstInt32 frames) {
  renderBlock(inputs ? inputs[0] : nullptr, outputs, frames, false);
}

void Instrument::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
  renderBlock(inputs ? inputs[0] : nullptr, outputs, frames, true);
}

void Instrument::renderBlock(const float* input, float** outputs, VstInt32 frames, bool replace) {
  const AudioEntry entry(*this);
  if (outputs)
    renderBlockSamples(input, outputs[0], outputs[1], frames, replace,
                       RenderContext{engine, filter, lfos, currentValues, sampleCounter, *this});
  if (view) {
    view->showSoundingVoices(engine.soundingVoiceCount());
    view->requestRefresh();
  }
}

}  // namespace brume
