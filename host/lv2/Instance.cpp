// Instantiation, ports and run().
#include "host/lv2/Instance.h"

#include <lv2/atom/util.h>
#include <lv2/options/options.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "host/lv2/Features.h"
#include "host/lv2/PortLayout.h"

namespace brume::lv2 {
namespace {

// Without opts:options (lv2bench, minimal hosts) the block size is only a
// hint: the instrument renders any length it is given.
constexpr std::int32_t kFallbackBlockLength = 1024;

// The nominal block length when the host gives one, else its maximum, else the fallback.
std::int32_t blockLengthOf(const LV2_Options_Option* options, const Urids& urids) {
  std::int32_t nominal = 0;
  std::int32_t maximum = 0;
  for (const LV2_Options_Option* option = options; option && option->key != 0; ++option) {
    if (option->context != LV2_OPTIONS_INSTANCE || option->type != urids.atomInt || !option->value ||
        option->size != sizeof(std::int32_t))
      continue;
    const std::int32_t value = *static_cast<const std::int32_t*>(option->value);
    if (option->key == urids.nominalBlockLength) nominal = value;
    if (option->key == urids.maxBlockLength) maximum = value;
  }
  if (nominal > 0) return nominal;
  return maximum > 0 ? maximum : kFallbackBlockLength;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

Instance* Instance::create(double sampleRate, const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
  if (!map || !map->map) return nullptr;
  if (!(sampleRate > 0.0 && sampleRate <= std::numeric_limits<float>::max())) return nullptr;
  return new (std::nothrow) Instance(*map, sampleRate, features);
}

// As the VST 2 host does: the instrument (program 0 applied at 44100 Hz), then rate and block size.
Instance::Instance(const LV2_URID_Map& map, double sampleRate, const LV2_Feature* const* features)
    : urids(map), synth(link), programsHost(static_cast<const ProgramsHost*>(featureData(features, kProgramsHostUri))) {
  synth.changeSampleRate(static_cast<float>(sampleRate));
  synth.changeBlockSize(
      blockLengthOf(static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options)), urids));
  appliedControls.copyFrom(synth.liveValues());
}

void Instance::connectPort(std::uint32_t port, void* data) noexcept {
  if (port < static_cast<std::uint32_t>(kParameterCount)) {
    controls[port] = static_cast<float*>(data);
  } else if (port == kAudioInputPort) {
    input = static_cast<const float*>(data);
  } else if (port == kLeftOutputPort || port == kRightOutputPort) {
    outputs[port - kLeftOutputPort] = static_cast<float*>(data);
  } else if (port == kEventInputPort) {
    events = static_cast<const LV2_Atom_Sequence*>(data);
  }
}

void Instance::activate() { synth.onResume(); }

void Instance::deactivate() { synth.onSuspend(); }

void Instance::run(std::uint32_t frames) noexcept {
  // A plain load first: most blocks have no program to take, and the exchange is a locked instruction.
  if (pendingProgram.load(std::memory_order_relaxed) != kNoProgram) {
    const std::int32_t program = pendingProgram.exchange(kNoProgram, std::memory_order_acquire);
    if (program != kNoProgram) synth.selectProgram(program);
  }
  const auto length =
      static_cast<std::int32_t>(std::min(frames, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())));
  // The block's tempo and MIDI in one pass; the tempo reaches the controls applied next.
  eventList.clear();
  if (events) readEvents(*events, length);
  catchUpWithTempo();
  applyChangedControls();
  if (eventList.size() > 0) synth.receiveEvents(eventList.list());
  // Hosts connect every port before run(); one that does not gets no block rendered.
  if (outputs[0] && outputs[1]) synth.renderBlock(input, outputs, length, true);
}

void Instance::readEvents(const LV2_Atom_Sequence& sequence, std::int32_t frames) noexcept {
  LV2_ATOM_SEQUENCE_FOREACH(&sequence, event) {
    const LV2_Atom& body = event->body;
    if (body.type == urids.midiEvent) {
      std::int64_t frame = event->time.frames;
      if (frame >= frames) frame = frames - 1;
      if (frame < 0) frame = 0;
      eventList.add(static_cast<const std::uint8_t*>(LV2_ATOM_BODY_CONST(&body)), body.size,
                    static_cast<std::int32_t>(frame));
      continue;
    }
    if (body.type != urids.atomObject && body.type != urids.atomBlank) continue;
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&body);
    if (object->body.otype != urids.timePosition) continue;
    const LV2_Atom* bpm = nullptr;
    lv2_atom_object_get(object, urids.timeBeatsPerMinute, &bpm, 0);
    if (!bpm) continue;
    double value = 0.0;
    if (bpm->type == urids.atomFloat && bpm->size >= sizeof(float))
      value = reinterpret_cast<const LV2_Atom_Float*>(bpm)->body;
    else if (bpm->type == urids.atomDouble && bpm->size >= sizeof(double))
      value = reinterpret_cast<const LV2_Atom_Double*>(bpm)->body;
    else if (bpm->type == urids.atomInt && bpm->size >= sizeof(std::int32_t))
      value = reinterpret_cast<const LV2_Atom_Int*>(bpm)->body;
    else if (bpm->type == urids.atomLong && bpm->size >= sizeof(std::int64_t))
      value = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(bpm)->body);
    link.takeTempo(value);
  }
}

void Instance::catchUpWithTempo() noexcept {
  if (tempoKnown || link.tempo() <= 0.0f) return;
  // A VST 2 host tells its tempo from construction on; here it comes with the
  // first position, so the LFO periods computed until then are computed again.
  tempoKnown = true;
  if (link.tempo() == synth.hostTempo()) return;
  for (ParameterIndex period : {kL1Per, kL2Per}) synth.setParameter(period, synth.getParameter(period));
}

void Instance::applyChangedControls() noexcept {
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    if (!controls[i]) continue;
    const float value = *controls[i];
    // Bits, not values: a port left at NaN is not applied again every block.
    if (sameBits(value, appliedControls.get(i))) continue;
    appliedControls.set(i, value);
    synth.setParameter(i, value);
  }
}

}  // namespace brume::lv2
