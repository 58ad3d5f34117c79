#pragma once
// Brume7's editor: a 650 x 200 window with one knob or switch per parameter,
// captions, value texts and a meter of the sounding voices, laid out from the
// parameter catalogue. User changes go to the instrument as automation; other
// changes come back through a refresh at most every 100 ms. A preset file
// dropped anywhere on it loads (editor/PresetDrop.h).

#include <atomic>
#include <cstdint>

#include "engine/ParameterIndex.h"
#include "gui/ControlListener.h"
#include "gui/FileDropView.h"
#include "gui/GuiEditorBase.h"
#include "instrument/InstrumentView.h"

namespace brume {

class Bitmap;
class Control;
class Instrument;
class StripDisplay;
class TextField;

class InstrumentEditor : public GuiEditorBase, public ControlListener, public FileDropListener, public InstrumentView {
 public:
  static constexpr std::uint32_t kRefreshInterval = 100;  // milliseconds
  static constexpr std::int32_t kVoiceMeterTag = 100;
  static constexpr std::int32_t kTextTagOffset = 54;

  // Constructed by the instrument; the window stays closed until open.
  explicit InstrumentEditor(Instrument* instrument);
  ~InstrumentEditor() override;

  // UI thread.
  VstInt32 open(void* hostWindow) override;
  void close() override;
  void refresh() override;
  void onControlChanged(DrawContext* context, Control* control) override;
  void updateValueText(std::int32_t index);
  // One preset file at a time: of several, which should win would be a guess, so none does.
  bool onFilesDropped(FileDropView* view, const char* const* names, std::int32_t count) override;

  // Any thread, the audio thread included; real-time safe.
  void requestRefresh() noexcept override;
  // Audio thread, real-time safe. Only records the count: the meter is a view
  // of the UI thread, which may destroy it at any moment, so the next refresh
  // (on the UI thread) shows the count.
  void showSoundingVoices(std::int32_t count) noexcept override;

  bool isEditorOpen() const { return isOpen; }
  Control* parameterControl(std::int32_t index) const;
  TextField* valueText(std::int32_t index) const;
  TextField* captionText(std::int32_t index) const;
  StripDisplay* voiceMeterDisplay() const { return isOpen ? voiceMeter : nullptr; }

 private:
  void releaseBitmaps();

  Bitmap* background = nullptr;
  Bitmap* knobStrips[4] = {};
  Bitmap* switchBitmap = nullptr;
  Bitmap* meterBitmap = nullptr;
  Control* parameterControls[kParameterCount] = {};
  TextField* captionTexts[kParameterCount] = {};
  TextField* valueTexts[kParameterCount] = {};
  StripDisplay* voiceMeter = nullptr;
  Instrument* instrument;
  // Written by whichever thread changes a parameter or renders.
  std::atomic<std::uint32_t> lastRefreshRequest{0};
  std::atomic<bool> refreshMarkedSinceOpen{false};
  std::atomic<std::int32_t> soundingVoices{0};
  bool isOpen = false;
};

}  // namespace brume
