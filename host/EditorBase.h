#pragma once
// The editor as the host interface sees it: a rectangle, open/close/idle and
// keys. The GUI toolkit derives its GuiEditorBase from this class.

#include <atomic>

#include "host/HostRecords.h"
#include "host/KeyCode.h"

namespace brume {

class EffectBase;

class EditorBase {
 public:
  // UI thread.
  explicit EditorBase(EffectBase* instrument);
  virtual ~EditorBase();

  // All UI thread.
  virtual VstInt32 getRect(ERect** rect);   // no rectangle: *rect = null, 0
  virtual VstInt32 open(void* hostWindow);  // stores the window, 0
  virtual void close();
  virtual void idle();  // runs a pending refresh
  virtual void refresh();
  // Any thread, real-time safe: only sets a flag.
  virtual void markForRefresh();
  virtual VstInt32 onKeyPress(KeyCode key);    // -1: not handled
  virtual VstInt32 onKeyRelease(KeyCode key);  // -1: not handled
  virtual VstInt32 setKnobMode(VstIntPtr mode);
  virtual bool onWheelTurn(float distance);

  EffectBase* effect() const { return instrument; }
  void* hostWindowHandle() const { return hostWindow; }
  bool isRefreshPending() const { return refreshPending.load(std::memory_order_relaxed) != 0; }

 protected:
  EffectBase* instrument;
  void* hostWindow = nullptr;
  // Written by any thread that changes a parameter, read by the UI thread.
  std::atomic<VstInt32> refreshPending{0};
};

}  // namespace brume
