#pragma once
// What the instrument tells its editor about. Both operations are called on
// any thread that changes a parameter or renders, the audio thread included,
// so implementations must be real-time safe: no allocation, no lock, no wait.

#include <cstdint>

namespace brume {

class Instrument;

class InstrumentView {
 public:
  // A parameter changed or a block was rendered: redraw the controls soon.
  virtual void requestRefresh() noexcept = 0;
  // After each block: how many voices sound (0 to 16).
  virtual void showSoundingVoices(std::int32_t count) noexcept = 0;

 protected:
  ~InstrumentView() = default;
};

// Defined by the editor: makes the instrument's editor, which registers itself
// as the instrument's editor (setting the has-editor flag). Null when memory
// runs out. Called once, from the instrument's constructor.
InstrumentView* createInstrumentEditor(Instrument& instrument);

}  // namespace brume
