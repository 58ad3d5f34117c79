#include "instrument/CallbackHost.h"

namespace brume {

VstIntPtr CallbackHost::request(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) const {
  return callback ? callback(record, opcode, index, value, nullptr, opt) : 0;
}

float CallbackHost::tempo() noexcept {
  const VstIntPtr answer = request(kHostTempoAt);
  return answer > 0 ? static_cast<float>(answer) * 0.0001f : 0.0f;
}

void CallbackHost::automate(std::int32_t index, float value) { request(kHostAutomate, index, 0, value); }

bool CallbackHost::beginEdit(std::int32_t index) { return request(kHostBeginEdit, index) != 0; }

bool CallbackHost::endEdit(std::int32_t index) { return request(kHostEndEdit, index) != 0; }

void CallbackHost::idle() { request(kHostIdle); }

std::intptr_t CallbackHost::wantEvents(std::intptr_t filter) { return request(kHostWantMidi, 0, filter); }

}  // namespace brume
