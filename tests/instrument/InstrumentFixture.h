#pragma once
// An Instrument made the way the plug-in entry makes it, with a recording host.

#include <memory>

#include "instrument/Instrument.h"
#include "tests/support/RecordingHost.h"

namespace brume::test {

class InstrumentFixture {
 public:
  InstrumentFixture() : instrument(std::make_unique<Instrument>(RecordingHost::callback())) {}

  VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f) {
    AEffect* record = instrument->record();
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  RecordingHost host;
  std::unique_ptr<Instrument> instrument;
};

}  // namespace brume::test
