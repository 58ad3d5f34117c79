#include "tools/brume7-host/render/ProgressBar.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace brume {
namespace {

constexpr int kBarWidth = 30;
constexpr double kFirstDrawSeconds = 1.0;
constexpr double kRedrawSeconds = 0.1;

}  // namespace

ProgressBar::ProgressBar(bool enabled, double sampleRate, std::FILE* stream)
    : active(enabled),
      rate(sampleRate > 0.0 ? sampleRate : 1.0),
      output(stream),
      start(std::chrono::steady_clock::now()),
      lastDraw(start) {}

ProgressBar::~ProgressBar() { finish(); }

bool ProgressBar::stderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

void ProgressBar::update(std::int64_t done, std::int64_t total) {
  if (!active || total <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (std::chrono::duration<double>(now - start).count() < kFirstDrawSeconds) return;
  if (drawn && std::chrono::duration<double>(now - lastDraw).count() < kRedrawSeconds) return;
  lastDraw = now;
  drawn = true;
  const double fraction = std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0);
  char bar[kBarWidth + 1];
  const int filled = static_cast<int>(fraction * kBarWidth);
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '-';
  bar[kBarWidth] = '\0';
  std::fprintf(output, "\r[%s] %3d%%  %.1f / %.1f s ", bar, static_cast<int>(fraction * 100.0),
               static_cast<double>(done) / rate, static_cast<double>(total) / rate);
  std::fflush(output);
}

void ProgressBar::finish() {
  if (!drawn) return;
  std::fprintf(output, "\r%*s\r", kBarWidth + 32, "");
  std::fflush(output);
  drawn = false;
}

}  // namespace brume
