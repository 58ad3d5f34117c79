// Construction, identity and lifecycle of the instance.
#include "instrument/Instrument.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "engine/LfoModulation.h"
#include "engine/ModulationTargets.h"
#include "instrument/InstrumentView.h"
#include "instrument/ParameterCatalogue.h"
#include "instrument/ThreadToken.h"

namespace brume {
namespace {

constexpr VstInt32 kUniqueId = fourCharacterCode('B', 'R', 'M', '7');
constexpr VstInt32 kEditorIdleOpcode = 19;
constexpr VstInt32 kEventListOpcode = 25;

}  // namespace

Instrument::Instrument(audioMasterCallback hostCallback, InstrumentHost* otherHost)
    : EffectBaseEx(hostCallback, kProgramCount, kParameterCount),
      lastAudioThread(currentThreadToken()),
      callbackHost(hostCallback, record()),
      host(otherHost ? *otherHost : callbackHost) {
#ifdef BRUME7_TRACE
  traceSink = standardErrorTraceSink();
#endif
  programBank = new (std::nothrow) InstrumentProgram[kProgramCount];

  assignInputCount(1);
  assignOutputCount(2);
  markReplacing(true);
  markMeter(false);
  markClip(false);
  markSynth(true);
  assignUniqueId(kUniqueId);

  view = createInstrumentEditor(*this);

  // A diagnostic override of the vector path (tests run every path through the
  // plug-in's own entry); an unknown or unsupported name keeps the widest.
  if (const char* forced = std::getenv("BRUME7_VECTOR_PATH")) {
    for (KernelPath path : {KernelPath::Sse2, KernelPath::Avx2, KernelPath::Avx512}) {
      if (std::strcmp(forced, kernelPathName(path)) == 0) engine.setKernelPath(path);
    }
  }

  InitProcess();
  if (programBank) selectProgram(0);
}

Instrument::~Instrument() {
  // The editor goes first: while its window is still open it may call back
  // into the members released below.
  EditorBase* ownEditor = editor;
  view = nullptr;
  attachEditor(nullptr);
  delete ownEditor;
  delete[] programBank;
}

void Instrument::InitProcess() {
  trace("InitProcess\n");
  sampleCounter.store(0, std::memory_order_relaxed);
}

void Instrument::trace(const char* line) {
  if (traceSink) traceSink->write(line);
}

void Instrument::traceFormat(const char* format, ...) {
  if (!traceSink) return;
  char line[1024];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  traceSink->write(line);
}

VstIntPtr Instrument::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (traceSink && opcode != kEditorIdleOpcode && opcode != kEventListOpcode)
    traceFormat("Event disp : opCode %d, index %d, value %d, ptr %x, opt %f\n", static_cast<int>(opcode),
                static_cast<int>(index), static_cast<int>(value),
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(ptr)), static_cast<double>(opt));
  return EffectBaseEx::dispatcher(opcode, index, value, ptr, opt);
}

void Instrument::changeSampleRate(float rate) {
  sampleRate = rate;
  engine.setEngineSampleRate(truncateToInt32(rate));
}

void Instrument::changeBlockSize(VstInt32 frames) { blockSize = frames; }

void Instrument::onResume() {
  trace("Resume\n");
  hostWantEvents(1);
  resyncLfos(lfos, currentValues, sampleCounter.load(std::memory_order_relaxed), kNoTarget);
}

VstIntPtr Instrument::hostWantEvents(VstIntPtr filter) { return host.wantEvents(filter); }

bool Instrument::hostBeginEdit(VstInt32 index) { return host.beginEdit(index); }

bool Instrument::hostEndEdit(VstInt32 index) { return host.endEdit(index); }

void Instrument::hostIdle() { host.idle(); }

bool Instrument::copyEffectName(char* text) {
  std::strcpy(text, "Brume7");
  return true;
}

bool Instrument::copyVendorName(char* text) {
  std::strcpy(text, "Pellarine");
  return true;
}

bool Instrument::copyProductName(char* text) {
  std::strcpy(text, "Brume 7");
  return true;
}

VstInt32 Instrument::vendorVersion() { return 1; }

VstInt32 Instrument::answerCanDo(char* text) {
  if (!text) return -1;
  traceFormat("can do : %s\n", text);
  if (std::strcmp(text, "receiveVstEvents") == 0) return 1;
  if (std::strcmp(text, "receiveVstMidiEvent") == 0) return 1;
  return -1;
}

VstIntPtr Instrument::vendorQuery(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (index != kVectorPathQuery || value != kVectorPathQuery || !ptr)
    return EffectBaseEx::vendorQuery(index, value, ptr, opt);
  std::strcpy(static_cast<char*>(ptr), kernelPathName(engine.kernelPath()));
  return 1;
}

}  // namespace brume
