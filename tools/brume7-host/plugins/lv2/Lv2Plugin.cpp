#include "tools/brume7-host/plugins/lv2/Lv2Plugin.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/parameters/parameters.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cctype>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/plugins/ReportText.h"

namespace brume {
namespace {

// Bytes of an input sequence: its header, a time:Position event, and one event per MIDI message.
constexpr std::size_t kSequenceHeader = AtomSequence::kHeaderBytes;
constexpr std::size_t kPositionEvent = AtomSequence::kPositionEventBytes;
constexpr std::size_t kMidiEvent = AtomSequence::kMidiEventBytes;
// What a plug-in's other atom ports get when they ask for less.
constexpr std::size_t kOtherAtomBytes = 8192;
constexpr int kMostPrograms = 1 << 16;

bool sameWithoutCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

Lv2Plugin::Lv2Plugin(const std::string& location, bool byUri, const HostSettings& settings)
    : where(location),
      description(std::make_unique<Lv2World>(location, byUri)),
      rate(settings.sampleRate),
      maxBlock(settings.blockSize),
      tempo(static_cast<float>(settings.tempoBpm)) {
  atomTypes.sequence = urids.map(LV2_ATOM__Sequence);
  atomTypes.chunk = urids.map(LV2_ATOM__Chunk);
  atomTypes.midiEvent = urids.map(LV2_MIDI__MidiEvent);
  atomTypes.object = urids.map(LV2_ATOM__Object);
  atomTypes.floatType = urids.map(LV2_ATOM__Float);
  atomTypes.position = urids.map(LV2_TIME__Position);
  atomTypes.beatsPerMinute = urids.map(LV2_TIME__beatsPerMinute);
  atomTypes.speed = urids.map(LV2_TIME__speed);

  const std::vector<Lv2Port>& ports = description->ports();
  controlValues.assign(ports.size(), 0.0f);
  cvBuffers.resize(ports.size());
  atomBuffers.resize(ports.size());
  for (const Lv2Port& port : ports) {
    const int index = static_cast<int>(port.index);
    switch (port.kind) {
      case Lv2Port::Kind::Control:
        controlValues[port.index] = port.defaultValue;
        if (port.input) parameterPorts.push_back(index);
        break;
      case Lv2Port::Kind::Audio:
        (port.input ? audioInputs : audioOutputs).push_back(index);
        break;
      case Lv2Port::Kind::Atom:
        (port.input ? atomInputs : atomOutputs).push_back(index);
        if (port.input && port.supportsMidi && eventInput < 0) {
          eventInput = index;
          sendsPosition = port.supportsPosition;
        }
        break;
      default:
        break;
    }
  }
  mapFeature = {LV2_URID__map, urids.mapFeature()};
  unmapFeature = {LV2_URID__unmap, urids.unmapFeature()};
  boundedFeature = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
}

Lv2Plugin::~Lv2Plugin() { release(); }

std::string Lv2Plugin::name() {
  LilvNode* node = lilv_plugin_get_name(description->plugin());
  const std::string text = node != nullptr ? lilv_node_as_string(node) : description->uri();
  lilv_node_free(node);
  return text;
}

std::string Lv2Plugin::vendor() {
  LilvNode* node = lilv_plugin_get_author_name(description->plugin());
  const std::string text = node != nullptr ? lilv_node_as_string(node) : "";
  lilv_node_free(node);
  return text;
}

std::string Lv2Plugin::versionText() {
  const std::string minor = description->pluginValue(LV2_CORE__minorVersion);
  const std::string micro = description->pluginValue(LV2_CORE__microVersion);
  if (minor.empty()) return "unknown";
  return minor + "." + (micro.empty() ? "0" : micro);
}

const Lv2Port* Lv2Plugin::parameterPort(int index) const {
  if (index < 0 || index >= parameterCount()) return nullptr;
  return &description->ports()[static_cast<std::size_t>(parameterPorts[static_cast<std::size_t>(index)])];
}

std::string Lv2Plugin::parameterName(int index) {
  const Lv2Port* port = parameterPort(index);
  return port != nullptr ? port->name : "";
}

std::string Lv2Plugin::parameterDisplay(int index) {
  const Lv2Port* port = parameterPort(index);
  return port != nullptr ? port->displayText(controlValues[port->index]) : "";
}

std::string Lv2Plugin::parameterLabel(int index) {
  const Lv2Port* port = parameterPort(index);
  return port != nullptr ? port->unitSymbol : "";
}

float Lv2Plugin::parameter(int index) {
  const Lv2Port* port = parameterPort(index);
  return port != nullptr ? controlValues[port->index] : 0.0f;
}

ParameterRange Lv2Plugin::parameterRange(int index) const {
  const Lv2Port* port = parameterPort(index);
  return port != nullptr ? ParameterRange{port->minimum, port->maximum} : ParameterRange{};
}

int Lv2Plugin::findParameter(const std::string& key) {
  const int byName = Plugin::findParameter(key);
  if (byName >= 0) return byName;
  for (int index = 0; index < parameterCount(); ++index) {
    if (sameWithoutCase(parameterPort(index)->symbol, key)) return index;
  }
  return -1;
}

void Lv2Plugin::setParameter(int index, float value) noexcept {
  const Lv2Port* port = parameterPort(index);
  // The plug-in reads its control ports at the start of its next run().
  if (port != nullptr) controlValues[port->index] = value;
}

int Lv2Plugin::programCount() {
  if (programs == nullptr) return 0;
  int count = 0;
  while (count < kMostPrograms &&
         programs->get_program(lilv_instance_get_handle(instance), static_cast<std::uint32_t>(count)) != nullptr) {
    ++count;
  }
  return count;
}

std::string Lv2Plugin::programName(int index) {
  if (programs == nullptr || index < 0) return "";
  const lv2::ProgramDescriptor* program =
      programs->get_program(lilv_instance_get_handle(instance), static_cast<std::uint32_t>(index));
  return program != nullptr && program->name != nullptr ? program->name : "";
}

bool Lv2Plugin::selectProgram(int index) {
  if (programs == nullptr || index < 0) return false;
  const lv2::ProgramDescriptor* program =
      programs->get_program(lilv_instance_get_handle(instance), static_cast<std::uint32_t>(index));
  if (program == nullptr) return false;
  // The plug-in may rewrite its control inputs here: they are our buffers, so the parameters follow.
  programs->select_program(lilv_instance_get_handle(instance), program->bank, program->program);
  selectedProgram = index;
  return true;
}

void Lv2Plugin::instantiate(double sampleRate, int maxBlockSize) {
  optionSampleRate = static_cast<float>(sampleRate);
  optionMaxBlock = maxBlockSize;
  optionNominalBlock = maxBlockSize;
  const LV2_URID floatType = urids.map(LV2_ATOM__Float);
  const LV2_URID intType = urids.map(LV2_ATOM__Int);
  options = {
      {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_PARAMETERS__sampleRate), sizeof(float), floatType, &optionSampleRate},
      {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__minBlockLength), sizeof(std::int32_t), intType,
       &optionMinBlock},
      {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t), intType,
       &optionMaxBlock},
      {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__nominalBlockLength), sizeof(std::int32_t), intType,
       &optionNominalBlock},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
  };
  optionsFeature = {LV2_OPTIONS__options, options.data()};
  features[0] = &mapFeature;
  features[1] = &unmapFeature;
  features[2] = &optionsFeature;
  features[3] = &boundedFeature;
  features[4] = nullptr;

  instance = lilv_plugin_instantiate(description->plugin(), sampleRate, features);
  if (instance == nullptr) {
    throw ToolError("LV2 plug-in '" + description->uri() + "' made no instance at " +
                    std::to_string(static_cast<long>(sampleRate)) + " Hz");
  }
  rate = sampleRate;
  maxBlock = maxBlockSize;
  for (const Lv2Port& port : description->ports()) {
    if (port.kind == Lv2Port::Kind::Cv) cvBuffers[port.index].assign(static_cast<std::size_t>(maxBlock), 0.0f);
    if (port.kind == Lv2Port::Kind::Atom) {
      const bool events = static_cast<int>(port.index) == eventInput;
      const std::size_t wanted =
          events ? kSequenceHeader + kPositionEvent + eventCapacity * kMidiEvent : kOtherAtomBytes;
      atomBuffers[port.index].reserve(std::max<std::size_t>(wanted, port.minimumSize));
      atomBuffers[port.index].clear(atomTypes);
    }
  }
  connectOwnBuffers();
  programs = static_cast<const lv2::ProgramsInterface*>(
      lilv_instance_get_extension_data(instance, lv2::kProgramsInterfaceUri));
}

void Lv2Plugin::connectOwnBuffers() {
  for (const Lv2Port& port : description->ports()) {
    void* buffer = nullptr;
    if (port.kind == Lv2Port::Kind::Control) buffer = &controlValues[port.index];
    if (port.kind == Lv2Port::Kind::Cv) buffer = cvBuffers[port.index].data();
    if (port.kind == Lv2Port::Kind::Atom) buffer = atomBuffers[port.index].data();
    // Audio ports take the caller's buffers in process(); an unknown optional port stays unconnected.
    if (buffer != nullptr) lilv_instance_connect_port(instance, port.index, buffer);
  }
}

void Lv2Plugin::release() {
  if (instance == nullptr) return;
  stop();
  lilv_instance_free(instance);
  instance = nullptr;
  programs = nullptr;
}

void Lv2Plugin::configure(double sampleRate, int maxBlockSize) {
  if (instance != nullptr && sampleRate == rate && maxBlockSize <= maxBlock) return;
  // LV2 takes the rate and the largest block at instantiation: a change needs a fresh
  // instance. The parameters are kept in the port buffers; the program selection is not.
  release();
  selectedProgram = -1;
  instantiate(sampleRate, maxBlockSize);
}

void Lv2Plugin::start() {
  if (instance == nullptr) instantiate(rate, maxBlock);
  if (running) return;
  lilv_instance_activate(instance);
  running = true;
  positionDue.store(sendsPosition);
  blockBegun = false;
}

void Lv2Plugin::stop() {
  if (!running) return;
  lilv_instance_deactivate(instance);
  running = false;
}

void Lv2Plugin::setTempo(double bpm) noexcept {
  const auto value = static_cast<float>(bpm);
  if (tempo.exchange(value) != value && sendsPosition) positionDue.store(true);
}

void Lv2Plugin::reserveEvents(std::size_t capacity) {
  eventCapacity = std::max(eventCapacity, capacity);
  if (instance == nullptr || eventInput < 0) return;
  AtomSequence& sequence = atomBuffers[static_cast<std::size_t>(eventInput)];
  const std::size_t before = sequence.capacity();
  sequence.reserve(kSequenceHeader + kPositionEvent + eventCapacity * kMidiEvent);
  if (sequence.capacity() != before) {
    sequence.clear(atomTypes);
    lilv_instance_connect_port(instance, static_cast<std::uint32_t>(eventInput), sequence.data());
  }
}

void Lv2Plugin::beginBlock() noexcept {
  if (blockBegun) return;
  blockBegun = true;
  for (int port : atomInputs) atomBuffers[static_cast<std::size_t>(port)].clear(atomTypes);
  if (positionDue.load(std::memory_order_relaxed) && positionDue.exchange(false)) {
    atomBuffers[static_cast<std::size_t>(eventInput)].appendPosition(atomTypes, 0, tempo.load(), 1.0f);
  }
}

void Lv2Plugin::sendEvents(const MidiEvent* events, std::size_t count) noexcept {
  if (instance == nullptr || eventInput < 0) return;
  beginBlock();
  AtomSequence& sequence = atomBuffers[static_cast<std::size_t>(eventInput)];
  for (std::size_t i = 0; i < count; ++i) {
    if (!sequence.appendMidi(atomTypes, events[i].frame, events[i].bytes, events[i].size)) break;
  }
}

void Lv2Plugin::process(const float* const* inputs, float* const* outputs, int frames) noexcept {
  if (instance == nullptr || frames <= 0) return;
  frames = std::min(frames, maxBlock);
  beginBlock();
  // Connecting a port is real-time safe: the caller's buffers may move from block to block.
  for (std::size_t i = 0; i < audioInputs.size(); ++i) {
    // An input port's buffer is only read.
    lilv_instance_connect_port(instance, static_cast<std::uint32_t>(audioInputs[i]), const_cast<float*>(inputs[i]));
  }
  for (std::size_t i = 0; i < audioOutputs.size(); ++i) {
    lilv_instance_connect_port(instance, static_cast<std::uint32_t>(audioOutputs[i]), outputs[i]);
  }
  for (int port : atomOutputs) atomBuffers[static_cast<std::size_t>(port)].prepareOutput(atomTypes);
  lilv_instance_run(instance, static_cast<std::uint32_t>(frames));
  blockBegun = false;
}

}  // namespace brume
