#include "tools/brume7-host/audio/StopSignals.h"

#include <signal.h>

namespace brume {
namespace {

volatile sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

}  // namespace

StopSignals::StopSignals() {
  stopRequested = 0;
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previousInterrupt);
  sigaction(SIGTERM, &action, &previousTerminate);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &previousInterrupt, nullptr);
  sigaction(SIGTERM, &previousTerminate, nullptr);
}

bool StopSignals::requested() { return stopRequested != 0; }

}  // namespace brume
