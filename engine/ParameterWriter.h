#pragma once
// Where the LFOs and event modulators send their values: the instrument's own
// parameter setting, so that every modulation is an ordinary parameter change;
// and the point at which the renderer takes in changes made elsewhere.

#include <cstdint>

namespace brume {

class ParameterWriter {
 public:
  // Audio thread (LFO tick, event intake); must be real-time safe.
  virtual void writeParameter(std::int32_t index, float value) = 0;
  // Audio thread, real-time safe. Called before every run of samples: applies
  // the changes that other threads handed over to the audio thread.
  virtual void applyHandedOverChanges() {}

 protected:
  ~ParameterWriter() = default;
};

}  // namespace brume
