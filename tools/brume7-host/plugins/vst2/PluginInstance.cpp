#include "tools/brume7-host/plugins/vst2/PluginInstance.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

// Hosts hand uncleared buffers without a length; plug-ins write short texts into them.
constexpr std::size_t kTextBufferSize = 256;
constexpr std::size_t kProgramNameSize = 24;

std::string hexCode(VstInt32 value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

PluginInstance::PluginInstance(std::shared_ptr<PluginLibrary> library, HostContext& host)
    : module(std::move(library)), hostContext(host) {
  AEffect* created = nullptr;
  {
    HostContext::CreationScope scope(hostContext);
    created = module->entry()(&HostContext::callback);
  }
  if (created == nullptr) {
    throw ToolError("plug-in '" + module->path() + "' made no instance: its entry " + module->entryName() +
                    " answered null");
  }
  if (created->magic != kEffectMagic) {
    // A record with a wrong magic is not ours to close: its dispatcher may be anything.
    throw ToolError("plug-in '" + module->path() + "' answered a record with the wrong magic " +
                    hexCode(created->magic) + " (expected 0x56737450, 'VstP')");
  }
  if (created->dispatcher == nullptr) {
    throw ToolError("plug-in '" + module->path() + "' answered a record without a dispatcher");
  }
  effect = created;
  hostContext.attach(*effect);
}

PluginInstance::~PluginInstance() { close(); }

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (closed) return 0;
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void PluginInstance::open() {
  dispatch(kEffectOpen);
  dispatch(kEffectSetSampleRate, 0, 0, nullptr, static_cast<float>(hostContext.settings.sampleRate));
  dispatch(kEffectSetBlockSize, 0, hostContext.settings.blockSize);
}

void PluginInstance::resume() {
  dispatch(kEffectSuspendResume, 0, 1);
  resumed = true;
}

void PluginInstance::suspend() {
  dispatch(kEffectSuspendResume, 0, 0);
  resumed = false;
}

void PluginInstance::close() {
  if (closed) return;
  if (resumed) suspend();
  dispatch(kEffectClose);
  closed = true;
  effect = nullptr;
}

std::string PluginInstance::textFromOpcode(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
  char text[kTextBufferSize] = {};
  dispatch(opcode, index, value, text);
  text[kTextBufferSize - 1] = '\0';
  return text;
}

std::string PluginInstance::effectName() { return textFromOpcode(kEffectEffectName, 0); }
std::string PluginInstance::vendorName() { return textFromOpcode(kEffectVendorName, 0); }
std::string PluginInstance::productName() { return textFromOpcode(kEffectProductName, 0); }
VstIntPtr PluginInstance::vendorVersion() { return dispatch(kEffectVendorVersion); }

std::string PluginInstance::vectorPath() {
  constexpr VstInt32 kVectorPathQuery = 0x53494D44;  // 'SIMD', Brume7's own question
  char text[64] = {};
  if (dispatch(kEffectVendorSpecific, kVectorPathQuery, kVectorPathQuery, text) != 1) return {};
  text[sizeof text - 1] = '\0';
  return text;
}
VstIntPtr PluginInstance::category() { return dispatch(kEffectCategory); }

VstIntPtr PluginInstance::canDo(const std::string& word) {
  std::vector<char> text(word.begin(), word.end());
  text.push_back('\0');
  return dispatch(kEffectCanDo, 0, 0, text.data());
}

std::string PluginInstance::parameterName(int index) {
  if (closed || index < 0 || index >= parameterCount()) return "";
  return textFromOpcode(kEffectParameterName, index);
}

std::string PluginInstance::parameterDisplay(int index) {
  if (closed || index < 0 || index >= parameterCount()) return "";
  return textFromOpcode(kEffectParameterDisplay, index);
}

std::string PluginInstance::parameterLabel(int index) {
  if (closed || index < 0 || index >= parameterCount()) return "";
  return textFromOpcode(kEffectParameterLabel, index);
}

std::vector<std::string> PluginInstance::parameterNames() {
  std::vector<std::string> names;
  for (int index = 0; index < parameterCount(); ++index) names.push_back(parameterName(index));
  return names;
}

float PluginInstance::parameter(int index) {
  if (closed || index < 0 || index >= parameterCount() || effect->getParameter == nullptr) return 0.0f;
  return effect->getParameter(effect, index);
}

void PluginInstance::setParameter(int index, float value) noexcept {
  if (closed || index < 0 || index >= parameterCount() || effect->setParameter == nullptr) return;
  effect->setParameter(effect, index, value);
}

bool PluginInstance::selectProgram(int index) {
  if (closed || index < 0 || index >= programCount()) return false;
  dispatch(kEffectSetProgram, 0, index);
  return true;
}

int PluginInstance::currentProgram() { return static_cast<int>(dispatch(kEffectGetProgram)); }

std::string PluginInstance::programName(int index) {
  if (closed || index < 0 || index >= programCount()) return "";
  char text[kTextBufferSize] = {};
  // The category argument is -1: "any category".
  if (dispatch(kEffectProgramNameAt, index, -1, text) != 0) {
    text[kTextBufferSize - 1] = '\0';
    return text;
  }
  const int previous = currentProgram();
  if (previous == index) return textFromOpcode(kEffectGetProgramName, 0);
  dispatch(kEffectSetProgram, 0, index);
  std::string name = textFromOpcode(kEffectGetProgramName, 0);
  dispatch(kEffectSetProgram, 0, previous);
  return name;
}

void PluginInstance::renameProgram(const std::string& name) {
  // Plug-ins keep program names in 24-byte fields, the terminating zero included.
  char text[kProgramNameSize] = {};
  name.copy(text, kProgramNameSize - 1);
  dispatch(kEffectSetProgramName, 0, 0, text);
}

std::vector<std::uint8_t> PluginInstance::chunk(bool program) {
  void* data = nullptr;
  const VstIntPtr size = dispatch(kEffectGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

bool PluginInstance::setChunk(const std::vector<std::uint8_t>& data, bool program) {
  // The plug-in only reads the chunk; the record's entry takes a non-const pointer.
  return dispatch(kEffectSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(data.size()),
                  const_cast<std::uint8_t*>(data.data())) != 0;
}

void PluginInstance::sendEvents(VstEvents& events) noexcept {
  if (closed) return;
  effect->dispatcher(effect, kEffectProcessEvents, 0, 0, &events, 0.0f);
}

void PluginInstance::processReplacing(float** inputs, float** outputs, int frames) noexcept {
  if (closed || frames <= 0) return;
  if ((effect->flags & kFlagCanReplacing) != 0 && effect->processReplacing != nullptr) {
    effect->processReplacing(effect, inputs, outputs, frames);
    return;
  }
  for (int channel = 0; channel < effect->numOutputs; ++channel) {
    std::memset(outputs[channel], 0, sizeof(float) * static_cast<std::size_t>(frames));
  }
  if (effect->process != nullptr) effect->process(effect, inputs, outputs, frames);
}

}  // namespace brume
