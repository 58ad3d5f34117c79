// The symbols a host looks up in the plug-in module, and the module load
// entry. Compiled into the plug-in modules only.
#include "host/ModuleHandle.h"
#include "host/PluginEntry.h"

#if defined(_WIN32)
#include <windows.h>

// Exported as `main` by the module definition file.
extern "C" brume::AEffect* BRUME_VSTCALL brumeVstMain(brume::audioMasterCallback hostCallback) {
  return brume::pluginMain(hostCallback, brume::createEffectInstance);
}

extern "C" brume::AEffect* BRUME_VSTCALL VSTPluginMain(brume::audioMasterCallback hostCallback) {
  return brume::pluginMain(hostCallback, brume::createEffectInstance);
}

// Called on process and thread attach and detach alike.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  brume::ModuleHandle = instance;
  return TRUE;
}

#else
#include <dlfcn.h>

#define BRUME_EXPORT extern "C" __attribute__((visibility("default")))

// A C++ function may not be called `main` and return a pointer, so the symbol name is given directly.
BRUME_EXPORT brume::AEffect* brumeVstMain(brume::audioMasterCallback hostCallback) __asm__("main");

BRUME_EXPORT brume::AEffect* brumeVstMain(brume::audioMasterCallback hostCallback) {
  return brume::pluginMain(hostCallback, brume::createEffectInstance);
}

// Linux hosts look for this name first.
BRUME_EXPORT brume::AEffect* VSTPluginMain(brume::audioMasterCallback hostCallback) {
  return brume::pluginMain(hostCallback, brume::createEffectInstance);
}

namespace {

// The module's own load address stands in for the Windows module handle.
__attribute__((constructor)) void recordModuleHandle() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&recordModuleHandle), &info) != 0) brume::ModuleHandle = info.dli_fbase;
}

}  // namespace
#endif
