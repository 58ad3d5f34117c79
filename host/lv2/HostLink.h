#pragma once
// The instrument's host as an LV2 plug-in sees it: the tempo comes from the
// time:Position objects of the event port, the editor's changes leave as port
// writes through the open UI's write_function (and its touch feature, when the
// host offers one), and MIDI always arrives at the event port.

#include <lv2/ui/ui.h>

#include <atomic>
#include <cstdint>

#include "instrument/InstrumentHost.h"

namespace brume::lv2 {

class HostLink final : public InstrumentHost {
 public:
  // The open UI's way to the host.
  struct UiChannel {
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Touch* touch = nullptr;  // optional
  };

  // Any thread, real-time safe: 0 until a host sends a tempo (the instrument then keeps 120).
  float tempo() noexcept override;
  // UI thread: a write of the parameter's port; nothing while no UI is attached.
  void automate(std::int32_t index, float value) override;
  bool beginEdit(std::int32_t index) override;
  bool endEdit(std::int32_t index) override;
  // LV2 hosts drive their UIs' idle themselves.
  void idle() override {}
  std::intptr_t wantEvents(std::intptr_t) override { return 1; }

  // Audio thread, real-time safe: the tempo of a time:Position. It is kept as
  // a VST 2 host reports it (to a ten-thousandth), so that both formats' LFOs
  // run at exactly the same rate; a tempo that is not positive and finite is ignored.
  void takeTempo(double beatsPerMinute) noexcept;

  // UI thread.
  bool hasUi() const { return ui.write != nullptr; }
  void attachUi(const UiChannel& channel) { ui = channel; }
  void detachUi() { ui = UiChannel{}; }

 private:
  std::atomic<float> currentTempo{0.0f};
  UiChannel ui;
};

}  // namespace brume::lv2
