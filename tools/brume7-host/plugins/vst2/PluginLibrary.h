#pragma once
// A plug-in module loaded into this process, with its entry function found.

#include <string>

#include "host/HostRecords.h"

namespace brume {

// The exported entry: takes the host callback, answers a new instance's record or null.
using PluginEntry = AEffect*(BRUME_VSTCALL*)(audioMasterCallback hostCallback);

class PluginLibrary {
 public:
  // Loads the module and finds `VSTPluginMain`, else `main`. Throws ToolError
  // for a missing file, a module that does not load or one without either symbol.
  // Main thread; not real-time safe.
  explicit PluginLibrary(const std::string& path);
  // Unloads the module; every instance made from it must be closed first.
  ~PluginLibrary();

  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  const std::string& path() const { return modulePath; }
  PluginEntry entry() const { return entryFunction; }
  // "VSTPluginMain" or "main", whichever was found.
  const std::string& entryName() const { return entrySymbol; }

 private:
  std::string modulePath;
  void* handle = nullptr;
  PluginEntry entryFunction = nullptr;
  std::string entrySymbol;
};

}  // namespace brume
