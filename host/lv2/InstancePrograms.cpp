// The programs extension: the instrument's 16 programs as bank index / 128, program index % 128.
#include <cstring>

#include "host/lv2/Instance.h"

namespace brume::lv2 {

const ProgramDescriptor* Instance::programAt(std::uint32_t index) {
  const InstrumentProgram* record =
      index < static_cast<std::uint32_t>(kProgramCount) ? synth.program(static_cast<VstInt32>(index)) : nullptr;
  if (!record) return nullptr;
  std::memcpy(programName, record->name, kProgramNameSize);
  programName[kProgramNameSize - 1] = '\0';
  programDescriptor = ProgramDescriptor{index / kProgramsPerBank, index % kProgramsPerBank, programName};
  return &programDescriptor;
}

void Instance::selectProgram(std::uint32_t bank, std::uint32_t program) {
  if (program >= kProgramsPerBank) return;
  const std::uint64_t index = static_cast<std::uint64_t>(bank) * kProgramsPerBank + program;
  const InstrumentProgram* record =
      index < static_cast<std::uint64_t>(kProgramCount) ? synth.program(static_cast<VstInt32>(index)) : nullptr;
  if (!record) return;
  // The host's controls follow: the ports take the program's values, and so
  // does the record of what was applied, so that run() does not apply them twice.
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    const float value = record->values.get(i);
    appliedControls.set(i, value);
    if (controls[i]) *controls[i] = value;
  }
  pendingProgram.store(static_cast<std::int32_t>(index), std::memory_order_release);
}

}  // namespace brume::lv2
