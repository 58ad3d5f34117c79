#pragma once
// The LV2 UI: the instrument's own editor, embedded as an X11 child of the
// host's window (ui:parent) and idled by the host (ui:idleInterface). It
// reaches the DSP instance through instance-access; knob changes go to the
// host as port writes, other changes come back through the editor's refresh.

#include <lv2/ui/ui.h>

#include <cstdint>

namespace brume {
class EditorBase;
}

namespace brume::lv2 {

class Instance;

class Ui {
 public:
  static constexpr std::int32_t kWidth = 650;
  static constexpr std::int32_t kHeight = 200;

  // UI thread. Null without a parent window or the DSP instance, when that
  // instance already shows a UI, or when the editor window cannot be made.
  static Ui* create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                    const LV2_Feature* const* features);
  // UI thread: closes the editor window.
  ~Ui();
  Ui(const Ui&) = delete;
  Ui& operator=(const Ui&) = delete;

  // UI thread: a port's value changed in the host.
  void portEvent(std::uint32_t port, std::uint32_t format);
  // UI thread: window events, a pending refresh, redrawing. 0: the UI lives on.
  int idle();

 private:
  Ui(Instance& plugin, EditorBase& editor) : plugin(plugin), editor(editor) {}

  Instance& plugin;
  EditorBase& editor;
};

}  // namespace brume::lv2
