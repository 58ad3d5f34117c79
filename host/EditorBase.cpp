#include "host/EditorBase.h"

namespace brume {

EditorBase::EditorBase(EffectBase* instrument) : instrument(instrument) {}

EditorBase::~EditorBase() = default;

VstInt32 EditorBase::getRect(ERect** rect) {
  if (rect) *rect = nullptr;
  return 0;
}

VstInt32 EditorBase::open(void* window) {
  hostWindow = window;
  return 0;
}

void EditorBase::close() {}

void EditorBase::idle() {
  if (refreshPending.exchange(0, std::memory_order_relaxed) != 0) refresh();
}

void EditorBase::refresh() {}

void EditorBase::markForRefresh() { refreshPending.store(1, std::memory_order_relaxed); }

VstInt32 EditorBase::onKeyPress(KeyCode) { return -1; }

VstInt32 EditorBase::onKeyRelease(KeyCode) { return -1; }

VstInt32 EditorBase::setKnobMode(VstIntPtr) { return 0; }

bool EditorBase::onWheelTurn(float) { return false; }

}  // namespace brume
