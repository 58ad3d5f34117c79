#include "tests/lv2/Lv2TestHost.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include <cstring>

#include "host/lv2/PortLayout.h"

namespace brume::test {
namespace {

constexpr std::size_t kEventBufferBytes = 1 << 16;

}  // namespace

EventSequence::EventSequence(UridMap& urids)
    : buffer(kEventBufferBytes / sizeof(std::uint64_t), 0),
      midiType(urids.map(LV2_MIDI__MidiEvent)),
      positionType(urids.map(LV2_TIME__Position)),
      beatsPerMinute(urids.map(LV2_TIME__beatsPerMinute)) {
  lv2_atom_forge_init(&forge, urids.mapFeature());
  sequence()->atom.type = urids.map(LV2_ATOM__Sequence);
  clear();
}

void EventSequence::clear() { lv2_atom_sequence_clear(sequence()); }

void EventSequence::addMidi(std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  struct {
    LV2_Atom_Event header;
    std::uint8_t bytes[8];
  } event{};
  event.header.time.frames = frame;
  event.header.body.size = 3;
  event.header.body.type = midiType;
  event.bytes[0] = status;
  event.bytes[1] = data1;
  event.bytes[2] = data2;
  lv2_atom_sequence_append_event(sequence(), kEventBufferBytes - sizeof(LV2_Atom), &event.header);
}

void EventSequence::addTempo(std::int64_t frame, float bpm) {
  alignas(8) std::uint8_t body[256];
  lv2_atom_forge_set_buffer(&forge, body, sizeof body);
  LV2_Atom_Forge_Frame frameOfObject;
  lv2_atom_forge_object(&forge, &frameOfObject, 0, positionType);
  lv2_atom_forge_key(&forge, beatsPerMinute);
  lv2_atom_forge_float(&forge, bpm);
  lv2_atom_forge_pop(&forge, &frameOfObject);
  const auto* object = reinterpret_cast<const LV2_Atom*>(body);

  alignas(8) std::uint8_t eventBytes[sizeof(LV2_Atom_Event) + sizeof body];
  auto* event = reinterpret_cast<LV2_Atom_Event*>(eventBytes);
  event->time.frames = frame;
  std::memcpy(&event->body, object, sizeof(LV2_Atom) + object->size);
  lv2_atom_sequence_append_event(sequence(), kEventBufferBytes - sizeof(LV2_Atom), event);
}

Lv2Bundle::Lv2Bundle(const std::string& bundleFolder) : lilvWorld(lilv_world_new()) {
  const std::string uri = "file://" + bundleFolder + (bundleFolder.back() == '/' ? "" : "/");
  LilvNode* bundleUri = lilv_new_uri(lilvWorld, uri.c_str());
  lilv_world_load_bundle(lilvWorld, bundleUri);
  lilv_node_free(bundleUri);
  LilvNode* pluginUri = lilv_new_uri(lilvWorld, lv2::kPluginUri);
  brume = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), pluginUri);
  lilv_node_free(pluginUri);
}

Lv2Bundle::~Lv2Bundle() { lilv_world_free(lilvWorld); }

Lv2TestInstance::Lv2TestInstance(const Lv2Bundle& bundle, UridMap& urids, const InstanceSettings& settings)
    : bundle(bundle),
      urids(urids),
      inputBuffer(settings.maxFrames, 0.0f),
      leftBuffer(settings.maxFrames, 0.0f),
      rightBuffer(settings.maxFrames, 0.0f),
      events(urids),
      floatType(urids.map(LV2_ATOM__Float)),
      blockLength(settings.blockLength),
      programsHost{this, programChanged} {
  if (!bundle.plugin()) return;

  const LV2_Options_Option options[] = {{LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__nominalBlockLength),
                                         sizeof(std::int32_t), urids.map(LV2_ATOM__Int), &blockLength},
                                        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature mapFeature{LV2_URID__map, urids.mapFeature()};
  const LV2_Feature unmapFeature{LV2_URID__unmap, urids.unmapFeature()};
  const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
  const LV2_Feature programsFeature{lv2::kProgramsHostUri, &programsHost};
  std::vector<const LV2_Feature*> features = {&mapFeature, &unmapFeature};
  if (settings.blockLength > 0) features.push_back(&optionsFeature);
  if (settings.offerProgramsHost) features.push_back(&programsFeature);
  features.push_back(nullptr);
  instance = lilv_plugin_instantiate(bundle.plugin(), settings.sampleRate, features.data());
  if (!instance) return;

  for (std::uint32_t port = 0; port < lv2::kPortCount; ++port) {
    const LilvPort* lilvPort = lilv_plugin_get_port_by_index(bundle.plugin(), port);
    symbols.emplace_back(lilvPort ? lilv_node_as_string(lilv_port_get_symbol(bundle.plugin(), lilvPort)) : "");
  }
  // The ports start at the defaults the bundle states, as a host sets them.
  std::vector<float> defaults(lv2::kPortCount, 0.0f);
  lilv_plugin_get_port_ranges_float(bundle.plugin(), nullptr, nullptr, defaults.data());
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    controls[i] = defaults[static_cast<std::size_t>(i)];
    lilv_instance_connect_port(instance, static_cast<std::uint32_t>(i), &controls[i]);
  }
  lilv_instance_connect_port(instance, lv2::kAudioInputPort, inputBuffer.data());
  lilv_instance_connect_port(instance, lv2::kLeftOutputPort, leftBuffer.data());
  lilv_instance_connect_port(instance, lv2::kRightOutputPort, rightBuffer.data());
  lilv_instance_connect_port(instance, lv2::kEventInputPort, events.sequence());
  lilv_instance_activate(instance);
}

Lv2TestInstance::~Lv2TestInstance() {
  if (!instance) return;
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
}

void Lv2TestInstance::run(std::uint32_t frames) {
  lilv_instance_run(instance, frames);
  events.clear();
}

const lv2::ProgramsInterface* Lv2TestInstance::programs() const {
  return static_cast<const lv2::ProgramsInterface*>(
      lilv_instance_get_extension_data(instance, lv2::kProgramsInterfaceUri));
}

const LV2_State_Interface* Lv2TestInstance::stateInterface() const {
  return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}

std::int32_t Lv2TestInstance::portIndex(const char* symbol) const {
  for (std::size_t i = 0; i < symbols.size(); ++i)
    if (symbols[i] == symbol) return static_cast<std::int32_t>(i);
  return -1;
}

const void* Lv2TestInstance::portValue(const char* symbol, void* user, std::uint32_t* size, std::uint32_t* type) {
  auto* self = static_cast<Lv2TestInstance*>(user);
  const std::int32_t index = self->portIndex(symbol);
  if (!isParameterIndex(index)) return nullptr;
  *size = sizeof(float);
  *type = self->floatType;
  return &self->controls[index];
}

void Lv2TestInstance::setPortValue(const char* symbol, void* user, const void* value, std::uint32_t size,
                                   std::uint32_t type) {
  auto* self = static_cast<Lv2TestInstance*>(user);
  const std::int32_t index = self->portIndex(symbol);
  if (isParameterIndex(index) && size == sizeof(float) && type == self->floatType)
    std::memcpy(&self->controls[index], value, sizeof(float));
}

void Lv2TestInstance::programChanged(void* handle, std::int32_t index) {
  static_cast<Lv2TestInstance*>(handle)->changes.indexes.push_back(index);
}

LilvState* Lv2TestInstance::saveState() {
  const LV2_Feature mapFeature{LV2_URID__map, urids.mapFeature()};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  return lilv_state_new_from_instance(bundle.plugin(), instance, urids.mapFeature(), nullptr, nullptr, nullptr, nullptr,
                                      portValue, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features);
}

void Lv2TestInstance::restoreState(const LilvState* state, bool withPorts) {
  lilv_state_restore(state, instance, withPorts ? setPortValue : nullptr, this, 0, nullptr);
}

void Lv2TestInstance::restorePortsOnly(const LilvState* state) {
  lilv_state_emit_port_values(state, setPortValue, this);
}

}  // namespace brume::test
