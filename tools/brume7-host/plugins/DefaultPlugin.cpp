#include <cstdlib>
#include <string>

#include "tools/brume7-host/plugins/OpenPlugin.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace brume {

std::string defaultPluginPath() {
#ifdef _WIN32
  const char* const fileName = "BRM7.dll";
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string executable(path, length < MAX_PATH ? length : 0);
  const auto separator = executable.find_last_of("\\/");
#else
  const char* const fileName = "Brume7.so";
  char path[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string executable(path, length > 0 ? static_cast<std::size_t>(length) : 0);
  const auto separator = executable.find_last_of('/');
#endif
  if (separator == std::string::npos) return fileName;
  const std::string folder = executable.substr(0, separator + 1);
  const std::string beside = folder + fileName;
#ifndef _WIN32
  // Installed: PREFIX/bin/brume7-host finds PREFIX/lib/vst/Brume7.so, else ~/.vst/Brume7.so.
  if (access(beside.c_str(), F_OK) != 0) {
    const std::string installed = folder + "../lib/vst/" + fileName;
    if (access(installed.c_str(), F_OK) == 0) return installed;
    if (const char* home = std::getenv("HOME")) {
      const std::string personal = std::string(home) + "/.vst/" + fileName;
      if (access(personal.c_str(), F_OK) == 0) return personal;
    }
  }
#endif
  return beside;
}

}  // namespace brume
