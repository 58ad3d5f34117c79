#include "tools/brume7-host/plugins/vst2/HostContext.h"

#include <cmath>
#include <cstring>

#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"

namespace brume {
namespace {

// The context of the instance whose entry is running; the tool creates instances on one thread.
HostContext* creatingContext = nullptr;

// Answers records that never had a context (a plug-in calling back with a record of its own).
HostContext& fallbackContext() {
  static HostContext context;
  return context;
}

// The host's own capabilities, as "can do" words.
const char* const kHostCapabilities[] = {"sendVstEvents", "sendVstMidiEvent"};

}  // namespace

HostContext::HostContext(const HostSettings& initialSettings) : settings(initialSettings) {}

void HostContext::setTiming(double sampleRate, int blockSize) {
  settings.sampleRate = sampleRate;
  settings.blockSize = blockSize;
}

void HostContext::setTempo(double bpm) noexcept { settings.tempoBpm = bpm; }

HostContext::CreationScope::CreationScope(HostContext& context) : previous(creatingContext) {
  creatingContext = &context;
}

HostContext::CreationScope::~CreationScope() { creatingContext = previous; }

VstIntPtr HostContext::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) noexcept {
  (void)value;
  switch (opcode) {
    case kHostVersion:
      ++log.versionRequests;
      return kHostInterfaceVersion;
    case kHostAutomate:
      ++log.automateCount;
      log.lastAutomateIndex = index;
      log.lastAutomateValue = opt;
      return 0;
    case kHostIdle:
      ++log.idleCount;
      return 0;
    case kHostWantMidi:
      ++log.wantEventsCount;
      return 1;
    case kHostTempoAt:
      ++log.tempoRequests;
      return static_cast<VstIntPtr>(std::lround(settings.tempoBpm * 10000.0));
    case kHostBeginEdit:
      ++log.beginEditCount;
      log.lastBeginEditIndex = index;
      return 1;
    case kHostEndEdit:
      ++log.endEditCount;
      log.lastEndEditIndex = index;
      return 1;
    case kHostSampleRate:
      return static_cast<VstIntPtr>(settings.sampleRate);
    case kHostBlockSize:
      return settings.blockSize;
    case kHostVendorString:
    case kHostProductString:
      if (ptr == nullptr) return 0;
      // The interface's vendor and product buffers hold 64 bytes.
      std::strncpy(static_cast<char*>(ptr), opcode == kHostVendorString ? kVendor : kProduct, 63);
      static_cast<char*>(ptr)[63] = '\0';
      return 1;
    case kHostCanDo:
      if (ptr == nullptr) return 0;
      for (const char* word : kHostCapabilities) {
        if (std::strcmp(static_cast<const char*>(ptr), word) == 0) return 1;
      }
      return 0;
    default:
      ++log.unansweredRequests;
      return 0;
  }
}

VstIntPtr BRUME_VSTCALL HostContext::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt) {
  HostContext* context = effect != nullptr ? static_cast<HostContext*>(effect->user) : nullptr;
  if (context == nullptr) context = creatingContext;
  if (context == nullptr) context = &fallbackContext();
  return context->answer(opcode, index, value, ptr, opt);
}

}  // namespace brume
