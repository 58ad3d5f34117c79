#include "tests/support/RecordingHost.h"

namespace brume::test {
namespace {

RecordingHost* current = nullptr;

}  // namespace

RecordingHost::RecordingHost() : previous(current) {
  answers[kHostVersion] = 2400;
  answers[kHostTempoAt] = 1200000;
  current = this;
}

RecordingHost::~RecordingHost() { current = previous; }

audioMasterCallback RecordingHost::callback() { return &RecordingHost::dispatch; }

std::vector<HostCall> RecordingHost::callsWith(VstInt32 opcode) const {
  std::vector<HostCall> result;
  for (const HostCall& call : calls)
    if (call.opcode == opcode) result.push_back(call);
  return result;
}

VstIntPtr BRUME_VSTCALL RecordingHost::dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                void* ptr, float opt) {
  if (!current) return 0;
  const HostCall call{effect, opcode, index, value, ptr, opt};
  current->calls.push_back(call);
  if (current->hook) current->hook(call);
  const auto found = current->answers.find(opcode);
  return found == current->answers.end() ? 0 : found->second;
}

}  // namespace brume::test
