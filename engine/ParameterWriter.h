#pragma once
// Where the LFOs and event modulators send their values: the instrument's own
// parameter setting, so that every modulation is an ordinary parameter change.

#include <cstdint>

namespace brume {

class ParameterWriter {
 public:
  // Audio thread (LFO tick, event intake); must be real-time safe.
  virtual void writeParameter(std::int32_t index, float value) = 0;

 protected:
  ~ParameterWriter() = default;
};

}  // namespace brume
