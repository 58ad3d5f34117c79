#include "instrument/TraceSink.h"

#include <cstdio>

namespace brume {
namespace {

class StandardErrorSink final : public TraceSink {
 public:
  void write(const char* line) override { std::fputs(line, stderr); }
};

}  // namespace

TraceSink* standardErrorTraceSink() {
  static StandardErrorSink sink;
  return &sink;
}

}  // namespace brume
