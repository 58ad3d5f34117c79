// The bank of 16 programs. Program numbers outside 0 to 15 are refused.
#include <cstring>

#include "instrument/Instrument.h"

namespace brume {
namespace {

bool isProgramNumber(VstInt32 number) { return number >= 0 && number < kProgramCount; }

}  // namespace

InstrumentProgram* Instrument::currentProgramRecord() {
  if (!programBank) return nullptr;
  const VstInt32 current = currentProgram.load(std::memory_order_relaxed);
  return isProgramNumber(current) ? &programBank[current] : nullptr;
}

const InstrumentProgram* Instrument::program(VstInt32 index) const {
  return programBank && isProgramNumber(index) ? &programBank[index] : nullptr;
}

void Instrument::selectProgram(VstInt32 number) {
  trace("SetProgram\n");
  if (!programBank || !isProgramNumber(number)) return;
  currentProgram.store(number, std::memory_order_relaxed);
  // In increasing index order: paired parameters are applied again when their partner arrives.
  for (VstInt32 i = 0; i < kParameterCount; ++i) setParameter(i, programBank[number].values.get(i));
}

void Instrument::renameProgram(char* text) {
  if (InstrumentProgram* record = currentProgramRecord()) record->rename(text);
}

void Instrument::copyProgramName(char* text) {
  const InstrumentProgram* record = currentProgramRecord();
  std::strcpy(text, record ? record->name : "");
}

bool Instrument::copyProgramNameAt(VstInt32, VstInt32 index, char* text) {
  const InstrumentProgram* record = program(index);
  if (!record) return false;
  std::strcpy(text, record->name);
  return true;
}

bool Instrument::copyProgramTo(VstInt32 destination) {
  const InstrumentProgram* source = currentProgramRecord();
  if (!source || !isProgramNumber(destination)) return false;
  InstrumentProgram& target = programBank[destination];
  if (&target == source) return true;
  target.values.copyFrom(source->values);
  std::memcpy(target.name, source->name, kProgramNameSize);
  return true;
}

bool Instrument::storeProgram(VstInt32 number, const InstrumentProgram& program) {
  if (!programBank || !isProgramNumber(number)) return false;
  programBank[number].values.copyFrom(program.values);
  programBank[number].rename(program.name);
  return true;
}

}  // namespace brume
