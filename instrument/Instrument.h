#pragma once
// Brume7's instance: the class every host call ends in. It reports the
// identity, holds the live parameter values and the 16 programs, and owns the
// sound engine and the editor.

#include <atomic>
#include <cstdarg>
#include <cstdint>

#include "engine/Lfo.h"
#include "engine/LowPassFilter.h"
#include "engine/ParameterApplication.h"
#include "engine/ParameterChangeQueue.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterValues.h"
#include "engine/ParameterWriter.h"
#include "engine/SynthEngine.h"
#include "host/EffectBaseEx.h"
#include "instrument/CallbackHost.h"
#include "instrument/InstrumentHost.h"
#include "instrument/InstrumentProgram.h"
#include "instrument/TraceSink.h"

namespace brume {

class InstrumentView;

class Instrument : public EffectBaseEx, private ParameterWriter {
 public:
  // Made by the plug-in entry (and by tools and tests, which may pass no
  // callback: host requests then answer as if the host said nothing).
  explicit Instrument(audioMasterCallback hostCallback) : Instrument(hostCallback, nullptr) {}
  // Made by a plug-in of another format, whose `host` outlives the instrument.
  explicit Instrument(InstrumentHost& host) : Instrument(nullptr, &host) {}
  ~Instrument() override;

  // Any thread; real-time safe. Indexes outside 0 to 53 are ignored (read as 0).
  // The value is stored at once. So is its effect on the engine, except that a
  // change that retunes or relevels sounding voices ("O1-Pitch" to "O3-SubP",
  // "Sustain") made on a thread other than the audio thread is handed to the
  // audio thread, which applies it before it renders or takes events again.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;

  // Audio thread; real-time safe.
  void process(float** inputs, float** outputs, VstInt32 frames) override;
  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;

  // Dispatcher thread (audio thread for opcode 25): traces, then dispatches.
  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

  // Programs: dispatcher thread.
  void selectProgram(VstInt32 program) override;
  void renameProgram(char* text) override;
  void copyProgramName(char* text) override;
  bool copyProgramNameAt(VstInt32 category, VstInt32 index, char* text) override;
  bool copyProgramTo(VstInt32 destination) override;
  // Overwrites program `number`'s values and name (cut to 23 characters) and
  // applies nothing: a stored current program sounds once it is selected again.
  // False for a number outside 0 to 15. Not while another thread selects or edits programs.
  bool storeProgram(VstInt32 number, const InstrumentProgram& program);

  // Parameter texts: any thread.
  void copyParameterLabel(VstInt32 index, char* text) override;
  void copyParameterDisplay(VstInt32 index, char* text) override;
  void copyParameterName(VstInt32 index, char* text) override;
  void formatParameterValue(VstInt32 index, float value, char* text) const;

  // Processing lifecycle: dispatcher thread, not while processing.
  void changeSampleRate(float rate) override;
  void changeBlockSize(VstInt32 frames) override;
  void onResume() override;

  // Audio thread; real-time safe.
  VstInt32 receiveEvents(VstEvents* events) override;

  // Requests of the instrument and its editor, answered by its InstrumentHost (see there for threads).
  VstIntPtr hostWantEvents(VstIntPtr filter) override;
  bool hostBeginEdit(VstInt32 index) override;
  bool hostEndEdit(VstInt32 index) override;
  void hostIdle() override;

  // Identity: dispatcher thread.
  bool copyEffectName(char* text) override;
  bool copyVendorName(char* text) override;
  bool copyProductName(char* text) override;
  VstInt32 vendorVersion() override;
  VstInt32 answerCanDo(char* text) override;
  // Vendor-specific query (opcode 50) with index kVectorPathQuery and value
  // kVectorPathQuery: copies the name of the vector path the engine renders
  // with ("sse2", "avx2", "avx512"; at most 7 characters) and answers 1.
  VstIntPtr vendorQuery(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
  static constexpr VstInt32 kVectorPathQuery = 0x53494D44;  // 'SIMD'

  // Renders one block; `replace` overwrites the outputs, otherwise adds. Audio thread; real-time safe.
  virtual void renderBlock(const float* input, float** outputs, VstInt32 frames, bool replace);
  // The editor's way to change a parameter: also reports it to the host. UI thread.
  virtual void setParameterFromEditor(VstInt32 index, float value);

  // The parameter a modulator control (aim, minimum, maximum, value, release)
  // points at, or -1; event aims may answer 54 or 55, also meaning none. Any thread.
  VstInt32 modulatorTarget(VstInt32 index) const;

  // Debug lines go to `sink`, or nowhere when it is null. Set before use, not while processing.
  void setTraceSink(TraceSink* sink) { traceSink = sink; }

  // Read-only views for tests and tools.
  const ParameterValues& liveValues() const { return currentValues; }
  const InstrumentProgram* program(VstInt32 index) const;
  const SynthEngine& synthEngine() const { return engine; }
  // Tests and benchmarks, not while processing: false for a path this processor cannot run.
  bool setKernelPath(KernelPath path) { return engine.setKernelPath(path); }
  const Lfo& lfo(int n) const { return lfos[n == 1 ? 1 : 0]; }
  const LowPassFilter& lowPassFilter() const { return filter; }
  float hostTempo() const { return tempo.load(std::memory_order_relaxed); }
  std::int32_t samplesRendered() const { return sampleCounter.load(std::memory_order_relaxed); }

 private:
  Instrument(audioMasterCallback hostCallback, InstrumentHost* otherHost);

  // Marks the calling thread as the audio thread for one call of receiveEvents
  // or renderBlock, after taking in what other threads handed over.
  class AudioEntry;

  // LFO ticks and event modulators write through the virtual setParameter.
  void writeParameter(std::int32_t index, float value) override;
  // Audio thread: applies the handed-over changes with the latest stored values.
  void applyHandedOverChanges() override;
  // Whether the calling thread is the one rendering (or, between blocks, the one that rendered last).
  bool onAudioThread() const;
  ParameterContext parameterContext(float beatSamples);
  // Asks the host for its tempo; keeps the last valid one when the host does not say.
  float refreshTempo();
  void InitProcess();
  void trace(const char* line);
  void traceFormat(const char* format, ...);
  InstrumentProgram* currentProgramRecord();

  static constexpr float kDefaultTempo = 120.0f;

  ParameterValues currentValues;
  InstrumentProgram* programBank = nullptr;
  SynthEngine engine;
  Lfo lfos[kLfoCount];
  LowPassFilter filter;
  std::atomic<float> tempo{kDefaultTempo};  // beats per minute
  std::atomic<std::int32_t> sampleCounter{0};
  ParameterChangeQueue handedOver;
  std::atomic<std::uintptr_t> renderingThread{0};  // inside receiveEvents or renderBlock, else 0
  std::atomic<std::uintptr_t> lastAudioThread;     // the constructing thread until a thread renders
  InstrumentView* view = nullptr;                  // the editor, as the instrument tells it about changes
  TraceSink* traceSink = nullptr;
  CallbackHost callbackHost;
  InstrumentHost& host;  // callbackHost, or the other format's
};

}  // namespace brume
