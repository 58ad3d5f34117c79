#include "tests/play/JackServer.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace brume::test {
namespace {

void quiet(const char*) {}

}  // namespace

bool JackServer::isInstalled() { return std::system("command -v jackd > /dev/null 2>&1") == 0; }

JackServer::JackServer(int sampleRate, int frames) {
  static std::atomic<int> serial{0};
  serverName = "brume7-test-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
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
