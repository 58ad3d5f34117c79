#pragma once
// Loads a plug-in module the way a host does, for tests: the library, its
// entry, and a recording host callback. Works for Brume7.so natively and for
// BRM7.dll in the Windows test program.

#include <string>
#include <vector>

#include "host/HostRecords.h"

namespace brume::test {

class PluginModule {
 public:
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  bool loaded() const { return library != nullptr; }
  void* symbol(const char* name) const;
  // Calls the entry (VSTPluginMain first, then main) with the recording callback.
  AEffect* open();

  std::string error;

 private:
  void* library = nullptr;
};

// What the module asked of its host, across all modules in the process.
struct ModuleHostLog {
  std::vector<VstInt32> opcodes;
  std::vector<VstInt32> automatedIndexes;
  VstIntPtr versionAnswer = 2400;
  VstIntPtr tempoAnswer = 1200000;
  int count(VstInt32 opcode) const;
};
ModuleHostLog& moduleHostLog();

VstIntPtr call(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
               float opt = 0.0f);

}  // namespace brume::test
