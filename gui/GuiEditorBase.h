#pragma once
// The editor base of the GUI toolkit: the rectangle, the frame, the pending
// refresh and the throttled idle that keeps the host alive while a control is
// dragged. The instrument's editor derives from it and builds the frame in
// its open. Every operation runs on the user-interface thread unless said otherwise.

#include <cstdint>

#include "host/EditorBase.h"

namespace brume {

class EffectBaseEx;
class Frame;

class GuiEditorBase : public EditorBase {
 public:
  // Registers itself as the instrument's editor (which sets the has-editor flag).
  explicit GuiEditorBase(EffectBaseEx* instrument);
  // Destroys a frame the derived editor left open and unregisters from the instrument.
  ~GuiEditorBase() override;

  VstInt32 getRect(ERect** rect) override;   // the editor rectangle, 1
  VstInt32 open(void* hostWindow) override;  // marks a refresh; the derived editor builds the frame
  void close() override;
  void idle() override;  // pending window events, pending refresh, then the frame's idle redraw
  void refresh() override;
  // Any thread, real-time safe: only sets a flag.
  void markForRefresh() override;
  VstInt32 onKeyPress(KeyCode key) override;
  VstInt32 onKeyRelease(KeyCode key) override;
  VstInt32 setKnobMode(VstIntPtr mode) override;  // stores the module-wide knob mode, 1
  bool onWheelTurn(float distance) override;

  // Any thread, real-time safe: marks a refresh.
  virtual void parameterChanged(VstInt32 index, float value);
  virtual void redrawAll();
  // The idle of a drag loop: a real idle when the next idle time is less than
  // 50 ms away (then the next one is 100 ms on), else a 4 ms sleep.
  virtual void serviceIdle();

  Frame* getFrame() const { return frame; }
  EffectBaseEx* instrumentObject() const;
  const ERect& editorRect() const { return rect; }
  static std::int32_t moduleKnobMode();

 protected:
  ERect rect{};  // filled by the derived editor
  Frame* frame = nullptr;
  std::uint32_t nextIdleTime = 0;
  bool inIdle = false;
};

}  // namespace brume
