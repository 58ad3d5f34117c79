#pragma once
// One instance of the LV2 plug-in: the instrument, made as tools and tests
// make it, and what LV2 adds around it — the ports, the last value applied from
// each control port, the block's event list, the programs extension and the
// state. Entered through the C functions of Descriptor.cpp.

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstdint>

#include "engine/ParameterIndex.h"
#include "engine/ParameterValues.h"
#include "host/lv2/EventList.h"
#include "host/lv2/HostLink.h"
#include "host/lv2/ProgramsExtension.h"
#include "host/lv2/Urids.h"
#include "instrument/Instrument.h"

namespace brume::lv2 {

class Instance {
 public:
  // Instantiation thread. Null without urid:map, for a rate that is not
  // positive and finite, or when memory runs out.
  static Instance* create(double sampleRate, const LV2_Feature* const* features);

  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // Any thread outside run(), real-time safe. Unknown ports are ignored.
  void connectPort(std::uint32_t port, void* data) noexcept;
  // Instantiation thread: resumes the instrument (activate) or suspends it.
  void activate();
  void deactivate();
  // Audio thread, real-time safe: a pending program, the tempo, the changed
  // control ports, the block's MIDI, then the block.
  void run(std::uint32_t frames) noexcept;

  // Programs extension: any thread but the audio thread (names are copied out).
  const ProgramDescriptor* programAt(std::uint32_t index);
  void selectProgram(std::uint32_t bank, std::uint32_t program);

  // state:interface. save: any thread but the audio thread, also while run()
  // goes on (what it reads is shared safely). restore: instantiation thread, never during run().
  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // For the UI, through instance-access, and for tests.
  Instrument& instrument() { return synth; }
  HostLink& hostLink() { return link; }

 private:
  static constexpr std::int32_t kNoProgram = -1;
  static constexpr std::uint32_t kProgramsPerBank = 128;

  Instance(const LV2_URID_Map& map, double sampleRate, const LV2_Feature* const* features);

  // The block's time:Position tempo and its MIDI messages, into the host link and the event list.
  void readEvents(const LV2_Atom_Sequence& sequence, std::int32_t frames) noexcept;
  // At the first tempo a host sends, the LFO periods computed at 120 BPM are computed again.
  void catchUpWithTempo() noexcept;
  void applyChangedControls() noexcept;

  Urids urids;
  HostLink link;
  Instrument synth;  // after link, which it asks for the tempo from its construction on
  const ProgramsHost* programsHost;

  float* controls[kParameterCount] = {};  // written back only by selectProgram
  const float* input = nullptr;
  float* outputs[2] = {};
  const LV2_Atom_Sequence* events = nullptr;

  // The value last applied from each control port: the audio thread compares
  // and writes, program selection and restore write too.
  ParameterValues appliedControls;
  std::atomic<std::int32_t> pendingProgram{kNoProgram};
  bool tempoKnown = false;  // audio thread
  EventList eventList;

  ProgramDescriptor programDescriptor{};
  char programName[kProgramNameSize] = {};
};

}  // namespace brume::lv2
