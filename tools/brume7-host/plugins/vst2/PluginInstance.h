#pragma once
// One plug-in instance driven the way a host drives it: created through the
// module's entry, then reached only through its record's entry functions.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/HostRecords.h"
#include "tools/brume7-host/plugins/vst2/HostContext.h"
#include "tools/brume7-host/plugins/vst2/PluginLibrary.h"

namespace brume {

class PluginInstance {
 public:
  // Calls the entry with the host callback and checks the record. Throws
  // ToolError when the entry answers null or the record's magic is wrong.
  // Main thread. `host` must outlive the instance.
  PluginInstance(std::shared_ptr<PluginLibrary> library, HostContext& host);
  // Suspends and closes the instance if that has not been done.
  ~PluginInstance();

  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  // Main thread.
  AEffect& record() const { return *effect; }
  const PluginLibrary& library() const { return *module; }
  HostContext& host() const { return hostContext; }

  // Any dispatcher call; answers 0 once the instance is closed. Main thread.
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);

  // The host's start sequence: open (0), sample rate (10) and block size (11)
  // from the host settings. Main thread.
  void open();
  // Opcode 12 with value 1 / value 0. Main thread.
  void resume();
  void suspend();
  // Suspends if needed, then opcode 1; the record is gone afterwards. Main thread.
  void close();
  bool isClosed() const { return closed; }

  // Identity texts (opcodes 45, 47, 48), the vendor version (49), the category
  // (35) and a capability answer (51). Main thread.
  std::string effectName();
  std::string vendorName();
  std::string productName();
  // Brume7's answer to its vendor-specific query for the vector path it renders with; empty from other plug-ins.
  std::string vectorPath();
  VstIntPtr vendorVersion();
  VstIntPtr category();
  VstIntPtr canDo(const std::string& word);

  // Counts from the record; 0 once closed.
  int programCount() const { return effect != nullptr ? effect->numPrograms : 0; }
  int parameterCount() const { return effect != nullptr ? effect->numParams : 0; }
  int inputCount() const { return effect != nullptr ? effect->numInputs : 0; }
  int outputCount() const { return effect != nullptr ? effect->numOutputs : 0; }

  // Parameter texts (opcodes 8, 7, 6) and values; indexes outside the range give "" and 0. Main thread.
  std::string parameterName(int index);
  std::string parameterDisplay(int index);
  std::string parameterLabel(int index);
  std::vector<std::string> parameterNames();
  float parameter(int index);
  // Audio or main thread between blocks; real-time safe as far as the plug-in is.
  void setParameter(int index, float value) noexcept;

  // Opcode 2; false for a number outside the plug-in's programs. Main thread.
  bool selectProgram(int index);
  int currentProgram();
  // Opcode 29, or where a plug-in does not answer it, select-and-read (opcode 5). Main thread.
  std::string programName(int index);
  // Opcode 4: names the current program (cut to the 23 characters that plug-ins keep). Main thread.
  void renameProgram(const std::string& name);
  // Opcode 23: a copy of the plug-in's chunk of the current program (`program`) or of the bank; empty when it
  // gives none. Opcode 24: hands a chunk back; false when the plug-in answers 0. Main thread.
  std::vector<std::uint8_t> chunk(bool program);
  bool setChunk(const std::vector<std::uint8_t>& data, bool program);

  // Audio thread: the event list (opcode 25) for the next block.
  void sendEvents(VstEvents& events) noexcept;
  // Audio thread: renders `frames` into `outputs`, overwriting them; uses the
  // accumulating entry on cleared buffers for a plug-in without replacing processing.
  void processReplacing(float** inputs, float** outputs, int frames) noexcept;

 private:
  std::string textFromOpcode(VstInt32 opcode, VstInt32 index, VstIntPtr value = 0);

  std::shared_ptr<PluginLibrary> module;
  HostContext& hostContext;
  AEffect* effect = nullptr;
  bool resumed = false;
  bool closed = false;
};

}  // namespace brume
