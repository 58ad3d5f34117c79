// Thread setup, time and the scripted mouse of the headless backend.

#include "gui/native/headless/HeadlessState.h"

namespace brume {
namespace headless {

State& state() {
  static State headlessState;
  return headlessState;
}

void reset() {
  State& s = state();
  s.ticks = kStartTickCount;
  s.slept = 0;
  s.sleeps = 0;
  s.doubleClick = kStartDoubleClickTime;
  s.input = InputState{};
  s.queue.clear();
  s.polls = 0;
  s.pollsWithoutScript = 0;
}

void setTickCount(std::uint32_t milliseconds) { state().ticks = milliseconds; }
void advanceTickCount(std::uint32_t milliseconds) { state().ticks += milliseconds; }
std::uint32_t sleptMilliseconds() { return state().slept; }
std::uint32_t sleepCount() { return state().sleeps; }
void setDoubleClickTime(std::uint32_t milliseconds) { state().doubleClick = milliseconds; }

void setInputState(const InputState& input) {
  state().input = input;
  state().pollsWithoutScript = 0;
}

InputState inputState() { return state().input; }

void queueInputStates(const std::vector<InputState>& states) {
  for (const InputState& input : states) state().queue.push_back(input);
}

std::size_t queuedInputStateCount() { return state().queue.size(); }
std::uint32_t buttonPollCount() { return state().polls; }
std::int32_t threadInitDepth() { return state().threadDepth; }

}  // namespace headless

namespace native {

void initThread() { ++headless::state().threadDepth; }

void uninitThread() { --headless::state().threadDepth; }

std::uint32_t tickCount() { return headless::state().ticks; }

void sleepMilliseconds(std::uint32_t milliseconds) {
  headless::State& s = headless::state();
  s.ticks += milliseconds;
  s.slept += milliseconds;
  ++s.sleeps;
}

std::uint32_t doubleClickTime() { return headless::state().doubleClick; }

std::int32_t mouseButtons() {
  headless::State& s = headless::state();
  ++s.polls;
  if (!s.queue.empty()) {
    s.input = s.queue.front();
    s.queue.pop_front();
    s.pollsWithoutScript = 0;
  } else if (++s.pollsWithoutScript >= headless::kStuckButtonPolls) {
    s.input.buttons &= ~(kLeftButton | kMiddleButton | kRightButton);
  }
  return s.input.buttons;
}

Point cursorScreenPosition() { return headless::state().input.cursor; }

}  // namespace native
}  // namespace brume
