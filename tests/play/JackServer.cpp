#include "tests/play/JackServer.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace brume::test {
namespace {

void quiet(const char*) {}

constexpr const char* kNamePrefix = "brume7-test-";

// A zombie counts as gone: its server will never run again.
bool processLives(pid_t pid) {
  if (kill(pid, 0) != 0) return errno != ESRCH;
  std::FILE* stat = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (!stat) return true;
  char state = '?';
  const bool read = std::fscanf(stat, "%*d (%*[^)]) %c", &state) == 1;
  std::fclose(stat);
  return !(read && state == 'Z');
}

// jackd keeps its servers in a registry in shared memory, 8 entries at most. A
// server that was killed keeps its entry until a server of the same name
// starts, so killed test servers would in the end keep every later one from
// starting. The registry's layout (JACK 2): a 24-byte header (the magic 'JACK'
// first, its own length at byte 16), then 8 entries of a process id and a
// name ("jack-UID:NAME:") in 264 bytes.
std::vector<std::string> staleTestServers() {
  constexpr std::size_t kHeader = 24;
  constexpr std::size_t kEntry = 264;
  constexpr std::size_t kEntries = 8;
  unsigned char registry[kHeader + kEntries * kEntry];
  const int fd = open("/dev/shm/jack-shm-registry", O_RDONLY);
  if (fd < 0) return {};
  const ssize_t length = read(fd, registry, sizeof registry);
  close(fd);
  std::uint32_t magic = 0;
  std::uint32_t headerLength = 0;
  std::memcpy(&magic, registry, sizeof magic);
  std::memcpy(&headerLength, registry + 16, sizeof headerLength);
  if (length != static_cast<ssize_t>(sizeof registry) || magic != 0x4A41434Bu || headerLength != sizeof registry)
    return {};
  std::vector<std::string> names;
  for (std::size_t i = 0; i < kEntries; ++i) {
    const unsigned char* entry = registry + kHeader + i * kEntry;
    std::int32_t pid = 0;
    std::memcpy(&pid, entry, sizeof pid);
    if (pid <= 0 || processLives(pid)) continue;
    const std::string name(reinterpret_cast<const char*>(entry + 4),
                           strnlen(reinterpret_cast<const char*>(entry + 4), kEntry - 4));
    const std::size_t first = name.find(':');
    const std::size_t last = name.rfind(':');
    if (first == std::string::npos || last <= first) continue;
    const std::string server = name.substr(first + 1, last - first - 1);
    if (server.rfind(kNamePrefix, 0) == 0) names.push_back(server);
  }
  return names;
}

}  // namespace

bool JackServer::isInstalled() { return std::system("command -v jackd > /dev/null 2>&1") == 0; }

JackServer::JackServer(int sampleRate, int frames) {
  // A server of a stale entry's name takes the entry over and frees it when it stops.
  for (const std::string& stale : staleTestServers()) JackServer reclaimed(stale, sampleRate, frames);
  static std::atomic<int> serial{0};
  serverName = kNamePrefix + std::to_string(getpid()) + "-" + std::to_string(serial++);
  start(sampleRate, frames);
}

JackServer::JackServer(const std::string& name, int sampleRate, int frames) : serverName(name) {
  start(sampleRate, frames);
}

void JackServer::start(int sampleRate, int frames) {
  setenv("JACK_DEFAULT_SERVER", serverName.c_str(), 1);
  // jackd would otherwise ask D-Bus to reserve sound cards the dummy driver never uses.
  setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
  const std::string rate = std::to_string(sampleRate);
  const std::string period = std::to_string(frames);
  const pid_t child = fork();
  if (child == 0) {
    const int quietFd = open("/dev/null", O_RDWR);
    dup2(quietFd, 0);
    dup2(quietFd, 1);
    dup2(quietFd, 2);
    // Synchronous mode with a long client timeout: on a loaded machine a late
    // cycle delays the dummy clock instead of losing audio.
    execlp("jackd", "jackd", "-n", serverName.c_str(), "-S", "-t", "5000", "-d", "dummy", "-r", rate.c_str(), "-p",
           period.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (child < 0) {
    problem = "fork failed";
    return;
  }
  pid = child;
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      problem = "jackd exited at start";
      return;
    }
    jack_status_t status{};
    if (jack_client_t* probe = jack_client_open("probe", JackNoStartServer, &status)) {
      jack_client_close(probe);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  problem = "jackd did not accept clients within 15 s";
  stop();
}

JackServer::~JackServer() { stop(); }

void JackServer::stop() {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace brume::test
