#include "instrument/InstrumentProgram.h"

#include <cstring>

#include "instrument/ParameterCatalogue.h"

namespace brume {

InstrumentProgram::InstrumentProgram() {
  rename("Basic");
  for (std::int32_t i = 0; i < kParameterCount; ++i) values.set(i, ParameterLayout[i].defaultValue);
}

void InstrumentProgram::rename(const char* text) {
  std::strncpy(name, text, kProgramNameSize - 1);
  name[kProgramNameSize - 1] = '\0';
}

}  // namespace brume
