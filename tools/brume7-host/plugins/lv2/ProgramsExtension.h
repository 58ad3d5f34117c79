#pragma once
// The KXStudio LV2 programs extension, which hosts such as Carla and Qtractor
// read to list and select a plug-in's programs. It is not part of the LV2
// distribution, so its few declarations are written here.

#include <lv2/core/lv2.h>

#include <cstdint>

namespace brume {

constexpr const char* kProgramsInterfaceUri = "http://kxstudio.sf.net/ns/lv2ext/programs#Interface";

// One program: the pointer stays valid until the next get_program or deactivate.
struct ProgramDescriptor {
  std::uint32_t bank;
  std::uint32_t program;
  const char* name;
};

struct ProgramsInterface {
  // The index-th program of the plug-in's list, or null past its end (how hosts count them).
  const ProgramDescriptor* (*get_program)(LV2_Handle handle, std::uint32_t index);
  // Makes a program current from the next run(); unknown ones are ignored.
  void (*select_program)(LV2_Handle handle, std::uint32_t bank, std::uint32_t program);
};

}  // namespace brume
