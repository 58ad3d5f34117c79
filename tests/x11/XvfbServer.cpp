#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace brume::testing {
namespace {

constexpr int kStartTimeoutMilliseconds = 10000;

}  // namespace

bool XvfbServer::isInstalled() { return std::system("command -v Xvfb > /dev/null 2>&1") == 0; }

XvfbServer::XvfbServer(int depth) {
  int ready[2];
  if (pipe(ready) != 0) {
    problem = "no pipe";
    return;
  }
  pid_t child = fork();
  if (child == 0) {
    int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, 0);
    dup2(quiet, 1);
    dup2(quiet, 2);
    close(ready[0]);
    std::string fd = std::to_string(ready[1]);
    std::string screen = "1024x768x" + std::to_string(depth);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  if (child < 0) {
    close(ready[0]);
    problem = "fork failed";
    return;
  }
  pid = child;
  // Xvfb writes the display number once it accepts connections.
  std::string number;
  pollfd waiting{ready[0], POLLIN, 0};
  while (poll(&waiting, 1, kStartTimeoutMilliseconds) > 0) {
    char c;
    if (read(ready[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(ready[0]);
  if (number.empty()) {
    problem = "Xvfb did not report a display number";
    stop();
    return;
  }
  name = ":" + number;
  setenv("DISPLAY", name.c_str(), 1);
}

XvfbServer::~XvfbServer() { stop(); }

void XvfbServer::stop() {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  pid = -1;
}

}  // namespace brume::testing
