#pragma once
// A host callback for tests: records every request and answers from a table.

#include <functional>
#include <map>
#include <vector>

#include "host/HostRecords.h"

namespace brume::test {

struct HostCall {
  AEffect* effect;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;
  float opt;
};

class RecordingHost {
 public:
  // Makes this object the one the callback reaches; the previous one is restored on destruction.
  RecordingHost();
  ~RecordingHost();
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;

  static audioMasterCallback callback();

  // Answers for opcodes; version defaults to 2400 and tempo to 120 BPM (1200000).
  void answer(VstInt32 opcode, VstIntPtr value) { answers[opcode] = value; }
  // Runs during the call, before the answer is returned (e.g. a host calling back into the effect).
  void onCall(std::function<void(const HostCall&)> hook) { this->hook = std::move(hook); }

  std::vector<HostCall> calls;
  std::vector<HostCall> callsWith(VstInt32 opcode) const;
  int count(VstInt32 opcode) const { return static_cast<int>(callsWith(opcode).size()); }
  void clear() { calls.clear(); }

 private:
  static VstIntPtr BRUME_VSTCALL dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt);
  std::map<VstInt32, VstIntPtr> answers;
  std::function<void(const HostCall&)> hook;
  RecordingHost* previous;
};

}  // namespace brume::test
