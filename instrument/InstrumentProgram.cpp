#include "instrument/InstrumentProgram.h"

#include <cstring>

#include "instrument/ParameterCatalogue.h"

namespace brume {

InstrumentProgram::InstrumentProgram() {
  rename("Basic");
  for (std::int32_t i = 0; i < kParameterCount; ++i) values.set(i, ParameterLayout[i].defaultValue);
}

void InstrumentProgram::rename(const char* text) {
  std::size_t length = 0;
  while (length < kProgramNameSize - 1 && text[length] != '\0') ++length;
  std::memcpy(name, text, length);
  name[length] = '\0';
}

}  // namespace brume
