// Parameter values: storing, applying to the engine, and their texts.
#include <cstring>

#include "engine/LfoModulation.h"
#include "engine/ModulationTargets.h"
#include "engine/ParameterApplication.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentView.h"
#include "instrument/ParameterCatalogue.h"
#include "instrument/ThreadToken.h"

namespace brume {

void Instrument::setParameter(VstInt32 index, float value) {
  if (!isParameterIndex(index)) return;
  if (InstrumentProgram* record = currentProgramRecord()) record->values.set(index, value);
  currentValues.set(index, value);

  const float beatSamples = beatSamplesFor(refreshTempo(), sampleRate);
  // Voice state belongs to the audio thread; other threads hand such changes over.
  if (parameterChangesVoices(index) && !onAudioThread()) {
    handedOver.push(index);
  } else {
    applyParameter(index, value, parameterContext(beatSamples));
  }
  if (view) view->requestRefresh();
}

ParameterContext Instrument::parameterContext(float beatSamples) {
  return ParameterContext{
      engine, lfos, filter, currentValues, beatSamples, sampleCounter.load(std::memory_order_relaxed), sampleRate};
}

bool Instrument::onAudioThread() const {
  const std::uintptr_t me = currentThreadToken();
  const std::uintptr_t rendering = renderingThread.load(std::memory_order_acquire);
  if (rendering != 0) return rendering == me;
  return lastAudioThread.load(std::memory_order_acquire) == me;
}

void Instrument::applyHandedOverChanges() {
  const float beatSamples = beatSamplesFor(tempo.load(std::memory_order_relaxed), sampleRate);
  handedOver.drain(
      [&](std::int32_t index) { applyParameter(index, currentValues.get(index), parameterContext(beatSamples)); });
}

float Instrument::refreshTempo() {
  // Many hosts answer 0 to this old request; LFO periods must stay finite.
  const float answer = host.tempo();
  if (answer > 0.0f) tempo.store(answer, std::memory_order_relaxed);
  return tempo.load(std::memory_order_relaxed);
}

void Instrument::writeParameter(std::int32_t index, float value) { setParameter(index, value); }

float Instrument::getParameter(VstInt32 index) { return currentValues.get(index); }

void Instrument::setParameterFromEditor(VstInt32 index, float value) {
  setParameter(index, value);
  if (isParameterIndex(index)) resyncLfos(lfos, currentValues, sampleCounter.load(std::memory_order_relaxed), index);
  host.automate(index, value);
}

VstInt32 Instrument::modulatorTarget(VstInt32 index) const {
  switch (index) {
    case kL1Aim:
    case kL1Min:
    case kL1Max:
      return lfoTarget(currentValues.get(kL1Aim));
    case kL2Aim:
    case kL2Min:
    case kL2Max:
      return lfoTarget(currentValues.get(kL2Aim));
    case kE1Aim:
    case kE1Val:
    case kE1Rel:
      return eventTarget(currentValues.get(kE1Aim));
    case kE2Aim:
    case kE2Val:
    case kE2Rel:
      return eventTarget(currentValues.get(kE2Aim));
    case kE3Aim:
    case kE3Val:
    case kE3Rel:
      return eventTarget(currentValues.get(kE3Aim));
    case kE4Aim:
    case kE4Val:
    case kE4Rel:
      return eventTarget(currentValues.get(kE4Aim));
    default:
      return kNoTarget;
  }
}

void Instrument::copyParameterLabel(VstInt32, char* text) { text[0] = '\0'; }

void Instrument::copyParameterDisplay(VstInt32 index, char* text) {
  if (!isParameterIndex(index)) return;
  formatParameterValue(index, currentValues.get(index), text);
}

void Instrument::copyParameterName(VstInt32 index, char* text) { copyParameterNameText(index, text); }

void Instrument::formatParameterValue(VstInt32 index, float value, char* text) const {
  brume::formatParameterValue(index, value, currentValues, text);
}

}  // namespace brume
