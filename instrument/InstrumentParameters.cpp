// Parameter values and their texts.
#include <cstring>

#include "instrument/Instrument.h"
#include "instrument/ParameterCatalogue.h"

namespace brume {

void Instrument::setParameter(VstInt32 index, float value) {
  if (!isParameterIndex(index)) return;
  if (InstrumentProgram* record = currentProgramRecord()) record->values.set(index, value);
  currentValues.set(index, value);
}

float Instrument::getParameter(VstInt32 index) { return currentValues.get(index); }

void Instrument::setParameterFromEditor(VstInt32 index, float value) {
  setParameter(index, value);
  if (hostCallback) callHost(kHostAutomate, index, 0, nullptr, value);
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
