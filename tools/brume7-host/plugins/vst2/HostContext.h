#pragma once
// The host side of the callback: what the tool answers a plug-in that calls
// back, and a record of the calls that matter to tests (automation, edits, idle).

#include <string>

#include "host/HostRecords.h"
#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

// Counters and last values of the callback requests a plug-in made.
struct HostCallLog {
  int versionRequests = 0;
  int automateCount = 0;
  int lastAutomateIndex = -1;
  float lastAutomateValue = 0.0f;
  int beginEditCount = 0;
  int lastBeginEditIndex = -1;
  int endEditCount = 0;
  int lastEndEditIndex = -1;
  int idleCount = 0;
  int wantEventsCount = 0;
  int tempoRequests = 0;
  int unansweredRequests = 0;  // opcodes answered with 0 because the tool does not serve them
};

class HostContext {
 public:
  static constexpr VstIntPtr kHostInterfaceVersion = 2400;
  static constexpr const char* kVendor = "Pellarine";
  static constexpr const char* kProduct = "brume7-host";

  explicit HostContext(const HostSettings& settings = HostSettings{});
  virtual ~HostContext() = default;

  HostSettings settings;
  HostCallLog log;

  // What the host reports from now on. Main thread; a live host's answers stay lock-free.
  virtual void setTiming(double sampleRate, int blockSize);
  virtual void setTempo(double bpm) noexcept;

  // Answers one callback request; called from whichever thread the plug-in
  // calls back on (here: the main thread). Real-time safe: no allocation, no I/O.
  // A live host that is called back from several threads answers in its own way.
  virtual VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) noexcept;

  // The function handed to plug-ins. Finds the context through the record's
  // `user` field, or the context of the instance being created.
  static VstIntPtr BRUME_VSTCALL callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt);

  // While alive, callbacks from records that do not carry a context yet (the
  // entry's version request, calls during construction) reach `context`.
  class CreationScope {
   public:
    explicit CreationScope(HostContext& context);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

   private:
    HostContext* previous;
  };

  // Lets later callbacks of `effect` reach this context.
  void attach(AEffect& effect) { effect.user = this; }
};

}  // namespace brume
