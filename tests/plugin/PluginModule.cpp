#include "tests/plugin/PluginModule.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace brume::test {
namespace {

using Entry = AEffect*(BRUME_VSTCALL*)(audioMasterCallback);

VstIntPtr BRUME_VSTCALL recordingCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  ModuleHostLog& log = moduleHostLog();
  log.opcodes.push_back(opcode);
  switch (opcode) {
    case kHostVersion:
      return log.versionAnswer;
    case kHostTempoAt:
      return log.tempoAnswer;
    case kHostAutomate:
      log.automatedIndexes.push_back(index);
      return 0;
    case kHostWantMidi:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

ModuleHostLog& moduleHostLog() {
  static ModuleHostLog log;
  return log;
}

int ModuleHostLog::count(VstInt32 opcode) const {
  return static_cast<int>(std::count(opcodes.begin(), opcodes.end(), opcode));
}

PluginModule::PluginModule(const std::string& path) {
#if defined(_WIN32)
  library = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
  if (!library) error = "LoadLibrary failed for " + path;
#else
  library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) error = dlerror();
#endif
}

PluginModule::~PluginModule() {
  if (!library) return;
#if defined(_WIN32)
  FreeLibrary(reinterpret_cast<HMODULE>(library));
#else
  dlclose(library);
#endif
}

void* PluginModule::symbol(const char* name) const {
  if (!library) return nullptr;
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
#else
  return dlsym(library, name);
#endif
}

AEffect* PluginModule::open() {
  void* entry = symbol("VSTPluginMain");
  if (!entry) entry = symbol("main");
  if (!entry) return nullptr;
  return reinterpret_cast<Entry>(entry)(&recordingCallback);
}

VstIntPtr call(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

}  // namespace brume::test
