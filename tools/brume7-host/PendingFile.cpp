#include "tools/brume7-host/PendingFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/brume7-host/ToolError.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace brume {
namespace {

unsigned long processId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

std::string::size_type lastSeparator(const std::string& path) {
#ifdef _WIN32
  return path.find_last_of("/\\");
#else
  return path.find_last_of('/');
#endif
}

}  // namespace

PendingFile::PendingFile(const std::string& path) : destination(path) {
  if (path.empty()) throw ToolError("no output file name given");
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    throw ToolError("cannot write '" + path + "': it is a directory");
  }
  const auto separator = lastSeparator(path);
  const std::string folder = separator == std::string::npos ? "" : path.substr(0, separator + 1);
  const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  temporary = folder + "." + name + ".part" + std::to_string(processId());
}

PendingFile::~PendingFile() {
  if (!committed) std::remove(temporary.c_str());
}

void PendingFile::commit() {
#ifdef _WIN32
  const bool moved = MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  const std::string why = moved ? "" : "error " + std::to_string(GetLastError());
#else
  const bool moved = std::rename(temporary.c_str(), destination.c_str()) == 0;
  const std::string why = moved ? "" : std::strerror(errno);
#endif
  if (!moved) throw ToolError("cannot write '" + destination + "': " + why);
  committed = true;
}

}  // namespace brume
