#include "tools/brume7-host/plugins/vst2/PluginLibrary.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "tools/brume7-host/ToolError.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace brume {
namespace {

const char* const kEntrySymbols[] = {"VSTPluginMain", "main"};

#ifdef _WIN32

std::string lastSystemError() {
  const DWORD code = GetLastError();
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

void* openModule(const std::string& path, std::string& error) {
  // A plug-in that cannot load should not make Windows show a dialog box.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) error = lastSystemError();
  SetErrorMode(previousMode);
  return reinterpret_cast<void*>(module);
}

void* findSymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeModule(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

#else

void* openModule(const std::string& path, std::string& error) {
  // A bare file name would make the loader search the system paths instead of the current folder.
  const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* text = dlerror();
    error = text != nullptr ? text : "unknown error";
  }
  return handle;
}

void* findSymbol(void* handle, const char* name) {
  dlerror();
  return dlsym(handle, name);
}

void closeModule(void* handle) { dlclose(handle); }

#endif

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : modulePath(path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    throw ToolError("cannot load plug-in '" + path + "': " + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) {
    throw ToolError("cannot load plug-in '" + path + "': it is a directory");
  }
  std::string error;
  handle = openModule(path, error);
  if (handle == nullptr) {
    throw ToolError("cannot load plug-in '" + path + "': " + error);
  }
  for (const char* symbol : kEntrySymbols) {
    if (void* address = findSymbol(handle, symbol)) {
      entryFunction = reinterpret_cast<PluginEntry>(address);
      entrySymbol = symbol;
      return;
    }
  }
  closeModule(handle);
  handle = nullptr;
  throw ToolError("'" + path + "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main");
}

PluginLibrary::~PluginLibrary() {
  if (handle != nullptr) closeModule(handle);
}

}  // namespace brume
