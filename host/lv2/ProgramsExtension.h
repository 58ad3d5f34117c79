#pragma once
// The LV2 programs extension, which hosts that list a plug-in's programs read
// (Carla, Qtractor). It is published outside the LV2 distribution, so its few
// declarations are written here, with the C layouts hosts expect.

#include <lv2/core/lv2.h>

#include <cstdint>

namespace brume::lv2 {

inline constexpr const char* kProgramsInterfaceUri = "http://kxstudio.sf.net/ns/lv2ext/programs#Interface";
inline constexpr const char* kProgramsHostUri = "http://kxstudio.sf.net/ns/lv2ext/programs#Host";

extern "C" {

struct ProgramDescriptor {
  std::uint32_t bank;
  std::uint32_t program;
  const char* name;
};

// What the plug-in hands out through extension_data.
struct ProgramsInterface {
  // The index-th program (an index into the list, not a number), or null past the last;
  // valid until the next get_program or deactivate.
  const ProgramDescriptor* (*get_program)(LV2_Handle instance, std::uint32_t index);
  // Takes effect at the start of the next run(); an unknown bank or program is ignored.
  void (*select_program)(LV2_Handle instance, std::uint32_t bank, std::uint32_t program);
};

// The host's feature: the plug-in says (never from run()) that a program's name
// or number changed; -1 means all of them.
struct ProgramsHost {
  void* handle;
  void (*program_changed)(void* handle, std::int32_t index);
};

}  // extern "C"

}  // namespace brume::lv2
