#pragma once
// A program (preset): the 54 parameter values and a name.

#include "engine/ParameterValues.h"

namespace brume {

constexpr int kProgramCount = 16;
constexpr int kProgramNameSize = 24;  // 23 characters and the terminating zero

struct InstrumentProgram {
  // A fresh program: "Basic" with every parameter at its catalogue default.
  InstrumentProgram();

  // The audio thread writes here (LFOs, event modulators) while the host reads.
  ParameterValues values;
  char name[kProgramNameSize];

  // Copies `text` into the name, cut to 23 characters.
  void rename(const char* text);
};

}  // namespace brume
