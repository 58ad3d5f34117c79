#pragma once
// A small LV2 host for tests: the build's Brume7.lv2 loaded through lilv as
// hosts load it, one instance with every port on a buffer of its own, MIDI and
// time:Position events, the programs extension and lilv's state save and restore.

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "host/lv2/ProgramsExtension.h"
#include "tools/brume7-host/plugins/lv2/UridMap.h"

namespace brume::test {

// The lilv world of one bundle.
class Lv2Bundle {
 public:
  explicit Lv2Bundle(const std::string& bundleFolder);
  ~Lv2Bundle();
  Lv2Bundle(const Lv2Bundle&) = delete;
  Lv2Bundle& operator=(const Lv2Bundle&) = delete;
  LilvWorld* world() const { return lilvWorld; }
  const LilvPlugin* plugin() const { return brume; }  // null when the bundle does not describe it

 private:
  LilvWorld* lilvWorld;
  const LilvPlugin* brume = nullptr;
};

// The atom sequence of an event port: MIDI and time:Position events, in frame order.
class EventSequence {
 public:
  explicit EventSequence(UridMap& urids);
  LV2_Atom_Sequence* sequence() { return reinterpret_cast<LV2_Atom_Sequence*>(buffer.data()); }
  // Real-time safe, as the URIs they use are mapped at construction.
  void addMidi(std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  void addTempo(std::int64_t frame, float beatsPerMinute);
  void clear();

 private:
  std::vector<std::uint64_t> buffer;  // 8-byte aligned
  LV2_URID midiType;
  LV2_URID positionType;
  LV2_URID beatsPerMinute;
  LV2_Atom_Forge forge;
};

// What the instance told the host through the programs host feature.
struct ProgramChanges {
  std::vector<std::int32_t> indexes;
};

struct InstanceSettings {
  double sampleRate = 44100.0;
  std::int32_t blockLength = 512;  // offered as buf-size:nominalBlockLength; 0 offers no options
  std::uint32_t maxFrames = 4096;  // the buffers' length
  bool offerProgramsHost = false;
};

class Lv2TestInstance {
 public:
  Lv2TestInstance(const Lv2Bundle& bundle, UridMap& urids, const InstanceSettings& settings = {});
  ~Lv2TestInstance();
  Lv2TestInstance(const Lv2TestInstance&) = delete;
  Lv2TestInstance& operator=(const Lv2TestInstance&) = delete;

  bool valid() const { return instance != nullptr; }
  LilvInstance* lilvInstance() const { return instance; }

  float& control(std::int32_t index) { return controls[index]; }
  std::vector<float>& input() { return inputBuffer; }
  const std::vector<float>& left() const { return leftBuffer; }
  const std::vector<float>& right() const { return rightBuffer; }

  // Events of the next run(), in frame order.
  void addMidi(std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    events.addMidi(frame, status, data1, data2);
  }
  void addTempo(std::int64_t frame, float beatsPerMinute) { events.addTempo(frame, beatsPerMinute); }
  // Real-time safe once the URIDs are mapped: runs one block, then clears the events.
  void run(std::uint32_t frames);

  const lv2::ProgramsInterface* programs() const;
  const LV2_State_Interface* stateInterface() const;
  const ProgramChanges& programChanges() const { return changes; }

  // lilv's state of the instance and its ports; free with lilv_state_free.
  LilvState* saveState();
  // lilv's restore: the instance's restore, then (when `withPorts`) the saved port values.
  void restoreState(const LilvState* state, bool withPorts);
  // The saved port values only, as a host that restores its ports first.
  void restorePortsOnly(const LilvState* state);

 private:
  static const void* portValue(const char* symbol, void* user, std::uint32_t* size, std::uint32_t* type);
  static void setPortValue(const char* symbol, void* user, const void* value, std::uint32_t size, std::uint32_t type);
  static void programChanged(void* handle, std::int32_t index);
  std::int32_t portIndex(const char* symbol) const;

  const Lv2Bundle& bundle;
  UridMap& urids;
  LilvInstance* instance = nullptr;
  float controls[kParameterCount] = {};
  std::vector<float> inputBuffer;
  std::vector<float> leftBuffer;
  std::vector<float> rightBuffer;
  EventSequence events;
  std::vector<std::string> symbols;  // by port index
  LV2_URID floatType;
  std::int32_t blockLength;
  lv2::ProgramsHost programsHost;
  ProgramChanges changes;
};

}  // namespace brume::test
