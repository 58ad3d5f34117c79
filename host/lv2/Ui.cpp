#include "host/lv2/Ui.h"

#include <lv2/instance-access/instance-access.h>

#include <cstring>
#include <new>

#include "engine/ParameterIndex.h"
#include "gui/Frame.h"
#include "gui/GuiEditorBase.h"
#include "gui/native/x11/X11Platform.h"
#include "host/lv2/Features.h"
#include "host/lv2/Instance.h"
#include "host/lv2/PortLayout.h"

namespace brume::lv2 {
namespace {

constexpr std::uint32_t kFloatProtocol = 0;

}  // namespace

Ui* Ui::create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
               const LV2_Feature* const* features) {
  void* parent = const_cast<void*>(featureData(features, LV2_UI__parent));
  auto* plugin = static_cast<Instance*>(const_cast<void*>(featureData(features, LV2_INSTANCE_ACCESS_URI)));
  if (!parent || !plugin || !write || !widget) return nullptr;
  // The instrument has one editor: a second UI of the same instance is refused.
  HostLink& link = plugin->hostLink();
  auto* editor = dynamic_cast<GuiEditorBase*>(plugin->instrument().editorObjectPointer());
  if (link.hasUi() || !editor) return nullptr;

  Ui* ui = new (std::nothrow) Ui(*plugin, *editor);
  if (!ui) return nullptr;
  link.attachUi(
      HostLink::UiChannel{write, controller, static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch))});
  editor->open(parent);
  const std::uintptr_t window = editor->getFrame() ? x11::windowId(editor->getFrame()->nativeWindow()) : 0;
  if (window == 0) {
    delete ui;
    return nullptr;
  }
  *widget = reinterpret_cast<LV2UI_Widget>(window);
  if (const auto* resize = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize)))
    if (resize->ui_resize) resize->ui_resize(resize->handle, kWidth, kHeight);
  return ui;
}

Ui::~Ui() {
  editor.close();
  plugin.hostLink().detachUi();
}

void Ui::portEvent(std::uint32_t port, std::uint32_t format) {
  // The instrument applies the value in run(), which asks for a refresh too.
  if (format == kFloatProtocol && port < static_cast<std::uint32_t>(kParameterCount)) editor.markForRefresh();
}

int Ui::idle() {
  editor.idle();
  return 0;
}

namespace {

Ui* uiOf(LV2UI_Handle handle) { return static_cast<Ui*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  return Ui::create(write, controller, widget, features);
}

void cleanup(LV2UI_Handle handle) { delete uiOf(handle); }

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t, std::uint32_t format, const void*) {
  uiOf(handle)->portEvent(port, format);
}

int idle(LV2UI_Handle handle) { return uiOf(handle)->idle(); }

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
  return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kUiDescriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace
}  // namespace brume::lv2

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
  return index == 0 ? &brume::lv2::kUiDescriptor : nullptr;
}
