#pragma once
// A progress bar on stderr for renders that take more than a second, drawn
// only when stderr is a terminal.

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace brume {

class ProgressBar {
 public:
  // `enabled` false draws nothing. Main thread.
  ProgressBar(bool enabled, double sampleRate, std::FILE* stream = stderr);
  ~ProgressBar();

  // Redraws at most ten times a second, from the first second on.
  void update(std::int64_t done, std::int64_t total);
  // Erases the bar.
  void finish();

  // Whether stderr is a terminal.
  static bool stderrIsTerminal();

 private:
  bool active;
  bool drawn = false;
  double rate;
  std::FILE* output;
  std::chrono::steady_clock::time_point start;
  std::chrono::steady_clock::time_point lastDraw;
};

}  // namespace brume
