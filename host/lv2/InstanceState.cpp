// state:interface: the instrument's whole state as one record (instrument/InstrumentState.h).
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "host/lv2/Instance.h"
#include "instrument/InstrumentState.h"

namespace brume::lv2 {

LV2_State_Status Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!store) return LV2_STATE_ERR_UNKNOWN;
  auto state = std::unique_ptr<InstrumentState>(new (std::nothrow) InstrumentState);
  if (!state) return LV2_STATE_ERR_NO_SPACE;
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    const InstrumentProgram* record = synth.program(p);
    if (!record) return LV2_STATE_ERR_UNKNOWN;
    state->programs[p].values.copyFrom(record->values);
    state->programs[p].rename(record->name);
  }
  state->currentProgram = synth.programIndex();
  state->hostValues.copyFrom(appliedControls);
  const std::string text = encodeInstrumentState(*state);
  return store(handle, urids.stateRecord, text.c_str(), text.size() + 1, urids.atomString,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Instance::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
  std::size_t size = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  const auto* text = static_cast<const char*>(retrieve(handle, urids.stateRecord, &size, &type, &flags));
  // A state without our record (a preset holds port values only) leaves everything as it is.
  if (!text) return LV2_STATE_SUCCESS;
  if (type != urids.atomString) return LV2_STATE_ERR_BAD_TYPE;

  // Read whole before anything changes: a refused record applies nothing.
  auto state = std::unique_ptr<InstrumentState>(new (std::nothrow) InstrumentState);
  if (!state) return LV2_STATE_ERR_NO_SPACE;
  const std::size_t length = strnlen(text, size);
  if (decodeInstrumentState(text, length, *state) != StateReading::accepted) return LV2_STATE_ERR_UNKNOWN;

  for (std::int32_t p = 0; p < kProgramCount; ++p) synth.storeProgram(p, state->programs[p]);
  pendingProgram.store(kNoProgram, std::memory_order_relaxed);
  synth.selectProgram(state->currentProgram);
  // The host restores its ports to the values saved with the record, before
  // this or after: either way run() finds them already applied.
  appliedControls.copyFrom(state->hostValues);
  if (programsHost && programsHost->program_changed) programsHost->program_changed(programsHost->handle, -1);
  return LV2_STATE_SUCCESS;
}

}  // namespace brume::lv2
