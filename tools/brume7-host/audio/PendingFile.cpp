#include "tools/brume7-host/audio/PendingFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "tools/brume7-host/ToolError.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <pthread.h>
#include <signal.h>
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

std::string folderOf(const std::string& path) {
  const auto separator = lastSeparator(path);
  return separator == std::string::npos ? "" : path.substr(0, separator + 1);
}

// Where a chain of symbolic links ends (the path itself if it is none); the end need not exist.
std::string followLinks(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status {};
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    char target[4096];
    const ssize_t length = readlink(current.c_str(), target, sizeof target - 1);
    if (length < 0) throw ToolError("cannot write '" + path + "': " + std::strerror(errno));
    target[length] = '\0';
    current = target[0] == '/' ? std::string(target) : folderOf(current) + target;
  }
  throw ToolError("cannot write '" + path + "': too many levels of symbolic links");
#endif
}

// What the signal handler needs, prepared beforehand: it may only call async-signal-safe functions.
constexpr int kSignals[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGXFSZ
    SIGXFSZ,
#endif
};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
char pendingTemporary[4096];
char signalMessages[kSignalCount][512];
volatile std::sig_atomic_t pendingArmed = 0;
void (*previousHandlers[kSignalCount])(int);

const char* signalName(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
#ifdef SIGXFSZ
    case SIGXFSZ:
      return "SIGXFSZ (file size limit exceeded)";
#endif
    default:
      return "a signal";
  }
}

extern "C" void onStopSignal(int signal) {
  if (pendingArmed != 0 && pendingTemporary[0] != '\0') {
#ifdef _WIN32
    _unlink(pendingTemporary);
#else
    unlink(pendingTemporary);
#endif
  }
  for (int i = 0; i < kSignalCount; ++i) {
    if (kSignals[i] != signal) continue;
#ifdef _WIN32
    _write(2, signalMessages[i], static_cast<unsigned>(std::strlen(signalMessages[i])));
#else
    const ssize_t written = write(2, signalMessages[i], std::strlen(signalMessages[i]));
    (void)written;
#endif
  }
  _exit(128 + signal);
}

void armSignals(const std::string& temporary, const std::string& destination) {
  std::strncpy(pendingTemporary, temporary.c_str(), sizeof pendingTemporary - 1);
  pendingTemporary[sizeof pendingTemporary - 1] = '\0';
  for (int i = 0; i < kSignalCount; ++i) {
    const std::string what = temporary.empty() ? "the output '" + destination + "' is incomplete"
                                               : "nothing written to '" + destination + "'";
    std::snprintf(signalMessages[i], sizeof signalMessages[i], "brume7-host: stopped by %s; %s\n",
                  signalName(kSignals[i]), what.c_str());
  }
  pendingArmed = 1;
  for (int i = 0; i < kSignalCount; ++i) previousHandlers[i] = std::signal(kSignals[i], onStopSignal);
#ifndef _WIN32
  // A mask inherited from whoever started the tool must not keep them from arriving.
  sigset_t stops;
  sigemptyset(&stops);
  for (int i = 0; i < kSignalCount; ++i) sigaddset(&stops, kSignals[i]);
  pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
#endif
}

void disarmSignals() {
  for (int i = 0; i < kSignalCount; ++i) {
    std::signal(kSignals[i], previousHandlers[i] == SIG_ERR ? SIG_DFL : previousHandlers[i]);
  }
  pendingArmed = 0;
  pendingTemporary[0] = '\0';
}

}  // namespace

PendingFile::PendingFile(const std::string& path) : destination(path) {
  if (path.empty()) throw ToolError("no output file name given");
  if (path == "-") {
    stream = true;
    toStandardOutput = true;
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    armSignals("", "standard output");
    return;
  }
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) throw ToolError("cannot write '" + path + "': it is a directory");
    if (!S_ISREG(status.st_mode)) {
      stream = true;
      armSignals("", path);
      return;
    }
  }
  replaced = followLinks(path);
  const auto separator = lastSeparator(replaced);
  const std::string name = separator == std::string::npos ? replaced : replaced.substr(separator + 1);
  temporary = folderOf(replaced) + "." + name + ".part" + std::to_string(processId());
  armSignals(temporary, path);
}

PendingFile::~PendingFile() {
  if (!stream && !committed) std::remove(temporary.c_str());
  disarmSignals();
}

std::FILE* PendingFile::standardOutput() const { return toStandardOutput ? stdout : nullptr; }

void PendingFile::commit() {
  if (stream) {
    committed = true;
    return;
  }
#ifdef _WIN32
  const bool moved = MoveFileExA(temporary.c_str(), replaced.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  const std::string why = moved ? "" : "error " + std::to_string(GetLastError());
#else
  const bool moved = std::rename(temporary.c_str(), replaced.c_str()) == 0;
  const std::string why = moved ? "" : std::strerror(errno);
#endif
  if (!moved) throw ToolError("cannot write '" + destination + "': " + why);
  committed = true;
}

}  // namespace brume
