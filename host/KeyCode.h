#pragma once
#include "host/HostRecords.h"

namespace brume {

// A key event as the host hands it to the editor (opcodes 59 and 60).
struct KeyCode {
  VstInt32 character = 0;
  unsigned char virtualKey = 0;
  unsigned char modifiers = 0;  // bit 0 shift
};

}  // namespace brume
