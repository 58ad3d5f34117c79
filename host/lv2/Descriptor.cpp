// The plug-in's C face: the descriptor, thin thunks to the Instance, and the
// extensions it hands out. The module exports lv2_descriptor and lv2ui_descriptor only.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "host/lv2/Instance.h"
#include "host/lv2/PortLayout.h"
#include "host/lv2/ProgramsExtension.h"

namespace brume::lv2 {
namespace {

Instance* instanceOf(LV2_Handle handle) { return static_cast<Instance*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
  return Instance::create(sampleRate, features);
}

void connectPort(LV2_Handle handle, std::uint32_t port, void* data) { instanceOf(handle)->connectPort(port, data); }

void activate(LV2_Handle handle) { instanceOf(handle)->activate(); }

void run(LV2_Handle handle, std::uint32_t frames) { instanceOf(handle)->run(frames); }

void deactivate(LV2_Handle handle) { instanceOf(handle)->deactivate(); }

void cleanup(LV2_Handle handle) { delete instanceOf(handle); }

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, std::uint32_t,
                      const LV2_Feature* const*) {
  return instanceOf(handle)->save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, std::uint32_t,
                         const LV2_Feature* const*) {
  return instanceOf(handle)->restore(retrieve, state);
}

const ProgramDescriptor* getProgram(LV2_Handle handle, std::uint32_t index) {
  return instanceOf(handle)->programAt(index);
}

void selectProgram(LV2_Handle handle, std::uint32_t bank, std::uint32_t program) {
  instanceOf(handle)->selectProgram(bank, program);
}

const LV2_State_Interface kStateInterface = {save, restore};
const ProgramsInterface kProgramsInterface = {getProgram, selectProgram};

const void* extensionData(const char* uri) {
  if (!uri) return nullptr;
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  if (std::strcmp(uri, kProgramsInterfaceUri) == 0) return &kProgramsInterface;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate,
                                    run,        deactivate,  cleanup,     extensionData};

}  // namespace
}  // namespace brume::lv2

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
  return index == 0 ? &brume::lv2::kDescriptor : nullptr;
}
