#pragma once
// An LV2 instrument behind the Plugin interface, hosted through lilv. Its
// control input ports are the parameters, in port order; its audio ports the
// inputs and outputs; the block's MIDI goes to its MIDI input as one
// atom:Sequence, with a time:Position in the first block and after a tempo
// change where the port takes one. Programs come through the KXStudio
// programs extension when the plug-in offers it.

#include <lilv/lilv.h>
#include <lv2/options/options.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "tools/brume7-host/plugins/Plugin.h"
#include "tools/brume7-host/plugins/lv2/AtomSequence.h"
#include "tools/brume7-host/plugins/lv2/Lv2World.h"
#include "host/lv2/ProgramsExtension.h"
#include "tools/brume7-host/plugins/lv2/UridMap.h"

namespace brume {

class Lv2Plugin : public Plugin {
 public:
  // Finds and checks the plug-in (by URI, or the one of a bundle folder); it
  // is instantiated by the first configure. Throws ToolError. Main thread.
  Lv2Plugin(const std::string& location, bool byUri, const HostSettings& settings);
  // Deactivates and frees the instance.
  ~Lv2Plugin() override;

  PluginFormat format() const override { return PluginFormat::Lv2; }
  const std::string& location() const override { return where; }
  std::string name() override;
  std::string vendor() override;
  std::string idText() override { return description->uri(); }
  std::string versionText() override;
  bool isInstrument() override { return true; }  // checked when it was found

  int inputCount() const override { return static_cast<int>(audioInputs.size()); }
  int outputCount() const override { return static_cast<int>(audioOutputs.size()); }
  int parameterCount() const override { return static_cast<int>(parameterPorts.size()); }

  std::string parameterName(int index) override;
  std::string parameterDisplay(int index) override;
  std::string parameterLabel(int index) override;
  float parameter(int index) override;
  ParameterRange parameterRange(int index) const override;
  int findParameter(const std::string& key) override;
  void setParameter(int index, float value) noexcept override;

  int programCount() override;
  std::string programName(int index) override;
  bool selectProgram(int index) override;
  int currentProgram() override { return selectedProgram; }

  void configure(double sampleRate, int maxBlockSize) override;
  void start() override;
  void stop() override;
  void setTempo(double bpm) noexcept override;

  void reserveEvents(std::size_t capacity) override;
  void sendEvents(const MidiEvent* events, std::size_t count) noexcept override;
  void process(const float* const* inputs, float* const* outputs, int frames) noexcept override;

  std::string describeIdentity() override;
  std::string describeDetails() override;

 private:
  void instantiate(double sampleRate, int maxBlockSize);
  void release();
  void connectOwnBuffers();
  // Audio thread: the block's sequence begins, with a position first when one is due.
  void beginBlock() noexcept;
  const Lv2Port* parameterPort(int index) const;

  std::string where;
  std::unique_ptr<Lv2World> description;
  UridMap urids;
  AtomTypes atomTypes;

  // Port roles, by port index.
  std::vector<int> parameterPorts;
  std::vector<int> audioInputs;
  std::vector<int> audioOutputs;
  std::vector<int> atomInputs;
  std::vector<int> atomOutputs;
  int eventInput = -1;
  bool sendsPosition = false;

  // Buffers the ports are connected to (audio ports take the caller's buffers per block).
  std::vector<float> controlValues;           // one per port; used by control ports
  std::vector<std::vector<float>> cvBuffers;  // one per port; used by CV ports
  std::vector<AtomSequence> atomBuffers;      // one per port; used by atom ports
  std::size_t eventCapacity = 64;

  // Instantiation: the features and the options they carry.
  float optionSampleRate = 0.0f;
  std::int32_t optionMinBlock = 1;
  std::int32_t optionMaxBlock = 0;
  std::int32_t optionNominalBlock = 0;
  std::vector<LV2_Options_Option> options;
  LV2_Feature mapFeature{};
  LV2_Feature unmapFeature{};
  LV2_Feature optionsFeature{};
  LV2_Feature boundedFeature{};
  const LV2_Feature* features[5] = {};

  LilvInstance* instance = nullptr;
  const lv2::ProgramsInterface* programs = nullptr;
  double rate = 0.0;
  int maxBlock = 0;
  bool running = false;
  int selectedProgram = -1;

  std::atomic<float> tempo;
  std::atomic<bool> positionDue{false};
  bool blockBegun = false;
};

}  // namespace brume
