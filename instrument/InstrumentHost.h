#pragma once
// What the instrument asks of the program that hosts it: the tempo, the
// editor's edits, a moment of the host's time during a knob drag, and MIDI.
// The VST 2 plug-in answers through the host callback (CallbackHost); a
// plug-in of another format gives its own answers.

#include <cstdint>

namespace brume {

class InstrumentHost {
 public:
  // Any thread that sets a parameter, the audio thread included; real-time safe.
  // Beats per minute, or 0 when the host does not say (the instrument keeps the last tempo it knew).
  virtual float tempo() noexcept = 0;
  // UI thread: the user set a parameter in the editor.
  virtual void automate(std::int32_t index, float value) = 0;
  // UI thread: the user starts or ends changing a parameter (a knob held). True when the host took note.
  virtual bool beginEdit(std::int32_t index) = 0;
  virtual bool endEdit(std::int32_t index) = 0;
  // UI thread, from the toolkit's drag loop: the host may do its own idle work.
  virtual void idle() = 0;
  // Dispatcher thread, at resume: the instrument wants MIDI events. The host's answer.
  virtual std::intptr_t wantEvents(std::intptr_t filter) = 0;

 protected:
  ~InstrumentHost() = default;
};

}  // namespace brume
