#include "host/lv2/HostLink.h"

#include <cmath>

namespace brume::lv2 {
namespace {

constexpr std::uint32_t kFloatProtocol = 0;  // a port write of one float
constexpr double kHighestTempo = 100000.0;

}  // namespace

float HostLink::tempo() noexcept { return currentTempo.load(std::memory_order_relaxed); }

void HostLink::takeTempo(double beatsPerMinute) noexcept {
  if (!(beatsPerMinute > 0.0 && beatsPerMinute < kHighestTempo)) return;
  const long tenThousandths = std::lround(beatsPerMinute * 10000.0);
  if (tenThousandths <= 0) return;
  currentTempo.store(static_cast<float>(tenThousandths) * 0.0001f, std::memory_order_relaxed);
}

void HostLink::automate(std::int32_t index, float value) {
  if (ui.write) ui.write(ui.controller, static_cast<std::uint32_t>(index), sizeof value, kFloatProtocol, &value);
}

bool HostLink::beginEdit(std::int32_t index) {
  if (!ui.touch || !ui.touch->touch) return false;
  ui.touch->touch(ui.touch->handle, static_cast<std::uint32_t>(index), true);
  return true;
}

bool HostLink::endEdit(std::int32_t index) {
  if (!ui.touch || !ui.touch->touch) return false;
  ui.touch->touch(ui.touch->handle, static_cast<std::uint32_t>(index), false);
  return true;
}

}  // namespace brume::lv2
