#pragma once
// A VST 2 plug-in behind the Plugin interface: a module, its host callback
// context and one instance, driven through the record's entry functions.

#include <memory>
#include <string>
#include <vector>

#include "host/HostRecords.h"
#include "tools/brume7-host/plugins/Plugin.h"
#include "tools/brume7-host/plugins/vst2/HostContext.h"
#include "tools/brume7-host/plugins/vst2/PlayHostContext.h"
#include "tools/brume7-host/plugins/vst2/PluginInstance.h"
#include "tools/brume7-host/plugins/vst2/PluginLibrary.h"

namespace brume {

class Vst2Plugin : public Plugin {
 public:
  // Loads the module and creates the instance; `host` answers its callbacks
  // (a PlayHostContext when it plays live). Throws ToolError. Main thread.
  Vst2Plugin(const std::string& path, std::unique_ptr<HostContext> host);
  // Suspends and closes the instance.
  ~Vst2Plugin() override;

  PluginFormat format() const override { return PluginFormat::Vst2; }
  const std::string& location() const override { return path; }
  std::string name() override { return instance->effectName(); }
  std::string vendor() override { return instance->vendorName(); }
  std::string idText() override;
  std::string versionText() override { return std::to_string(instance->vendorVersion()); }
  bool isInstrument() override;

  int inputCount() const override { return instance->inputCount(); }
  int outputCount() const override { return instance->outputCount(); }
  int parameterCount() const override { return instance->parameterCount(); }

  std::string parameterName(int index) override { return instance->parameterName(index); }
  std::string parameterDisplay(int index) override { return instance->parameterDisplay(index); }
  std::string parameterLabel(int index) override { return instance->parameterLabel(index); }
  float parameter(int index) override { return instance->parameter(index); }
  ParameterRange parameterRange(int) const override { return ParameterRange{}; }
  void setParameter(int index, float value) noexcept override { instance->setParameter(index, value); }

  int programCount() override { return instance->programCount(); }
  std::string programName(int index) override { return instance->programName(index); }
  bool selectProgram(int index) override { return instance->selectProgram(index); }
  int currentProgram() override { return instance->currentProgram(); }

  bool presetFileIdentity(std::int32_t& uniqueId, std::int32_t& version) override;
  void renameProgram(const std::string& name) override { instance->renameProgram(name); }
  bool programsAreChunks() override;
  std::vector<std::uint8_t> saveChunk(bool program) override { return instance->chunk(program); }
  bool loadChunk(const std::vector<std::uint8_t>& chunk, bool program) override {
    return instance->setChunk(chunk, program);
  }

  void configure(double sampleRate, int maxBlockSize) override;
  void start() override { instance->resume(); }
  void stop() override { instance->suspend(); }
  void setTempo(double bpm) noexcept override { hostContext->setTempo(bpm); }

  void reserveEvents(std::size_t capacity) override;
  void sendEvents(const MidiEvent* events, std::size_t count) noexcept override;
  void process(const float* const* inputs, float* const* outputs, int frames) noexcept override;
  void applyEditorChanges() noexcept override;

  std::string describeIdentity() override;

  // The VST 2 side, for what only VST 2 plug-ins offer (their editor) and for tests.
  PluginInstance& vst2Instance() { return *instance; }
  HostContext& host() { return *hostContext; }

 private:
  std::string path;
  std::unique_ptr<HostContext> hostContext;
  PlayHostContext* liveHost = nullptr;  // the same context when it plays live
  std::unique_ptr<PluginInstance> instance;
  bool opened = false;
  std::vector<VstMidiEvent> midiEvents;
  // Storage of the VstEvents list: its pointer array runs past the declared two entries.
  std::vector<VstIntPtr> eventListStorage;
};

}  // namespace brume
