#pragma once
// Where the instrument's debug lines go. Without a sink they are not even
// formatted, so tracing costs nothing in the shipping build.

namespace brume {

class TraceSink {
 public:
  // Called on whichever thread traces (the audio thread for event lines):
  // implementations used there must not block.
  virtual void write(const char* line) = 0;

 protected:
  ~TraceSink() = default;
};

// A sink that writes every line to stderr; for debugging builds only.
TraceSink* standardErrorTraceSink();

}  // namespace brume
