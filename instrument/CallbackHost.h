#pragma once
// The VST 2 host behind its callback: each question is one host request,
// sent with the instance's own record. Without a callback (tools and tests
// may make an instrument with none) every request answers as if the host
// said nothing.

#include "host/HostRecords.h"
#include "instrument/InstrumentHost.h"

namespace brume {

class CallbackHost final : public InstrumentHost {
 public:
  CallbackHost(audioMasterCallback callback, AEffect* record) : callback(callback), record(record) {}

  // Request 10 (tempo at position 0): the answer is ten-thousandths of a beat per minute.
  float tempo() noexcept override;
  void automate(std::int32_t index, float value) override;  // request 0
  bool beginEdit(std::int32_t index) override;              // request 43
  bool endEdit(std::int32_t index) override;                // request 44
  void idle() override;                                     // request 3
  std::intptr_t wantEvents(std::intptr_t filter) override;  // request 6

 private:
  VstIntPtr request(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, float opt = 0.0f) const;

  audioMasterCallback callback;
  AEffect* record;
};

}  // namespace brume
