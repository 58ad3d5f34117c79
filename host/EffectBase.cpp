#include "host/EffectBase.h"

#include <cstring>
#include <new>

namespace brume {
namespace {

constexpr VstInt32 kNoEffectId = fourCharacterCode('N', 'o', 'E', 'f');

VstIntPtr BRUME_VSTCALL dispatcherEntry(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                        float opt) {
  EffectBase* object = EffectBase::fromRecord(record);
  if (!object) return 0;
  if (opcode == 1) {
    // Close: the record lives inside the object, so it is gone after this.
    object->dispatcher(opcode, index, value, ptr, opt);
    delete object;
    return 1;
  }
  return object->dispatcher(opcode, index, value, ptr, opt);
}

void BRUME_VSTCALL processEntry(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
  if (EffectBase* object = EffectBase::fromRecord(record)) object->process(inputs, outputs, frames);
}

void BRUME_VSTCALL processReplacingEntry(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
  if (EffectBase* object = EffectBase::fromRecord(record)) object->processReplacing(inputs, outputs, frames);
}

void BRUME_VSTCALL setParameterEntry(AEffect* record, VstInt32 index, float value) {
  if (EffectBase* object = EffectBase::fromRecord(record)) object->setParameter(index, value);
}

float BRUME_VSTCALL getParameterEntry(AEffect* record, VstInt32 index) {
  EffectBase* object = EffectBase::fromRecord(record);
  return object ? object->getParameter(index) : 0.0f;
}

}  // namespace

EffectBase::EffectBase(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount)
    : hostCallback(hostCallback), programCount(programCount), parameterCount(parameterCount) {
  std::memset(&effectRecord, 0, sizeof effectRecord);
  effectRecord.magic = kEffectMagic;
  effectRecord.dispatcher = dispatcherEntry;
  effectRecord.process = processEntry;
  effectRecord.setParameter = setParameterEntry;
  effectRecord.getParameter = getParameterEntry;
  effectRecord.processReplacing = processReplacingEntry;
  effectRecord.numPrograms = programCount;
  effectRecord.numParams = parameterCount;
  effectRecord.numInputs = 1;
  effectRecord.numOutputs = 2;
  effectRecord.ioRatio = 1.0f;
  effectRecord.object = this;
  effectRecord.uniqueID = kNoEffectId;
  effectRecord.version = 1;
}

EffectBase::~EffectBase() { delete editor; }

EffectBase* EffectBase::fromRecord(AEffect* record) {
  return record ? static_cast<EffectBase*>(record->object) : nullptr;
}

void EffectBase::attachEditor(EditorBase* newEditor) {
  editor = newEditor;
  setFlag(kFlagHasEditor, newEditor != nullptr);
}

void EffectBase::setFlag(VstInt32 flag, bool on) {
  if (on)
    effectRecord.flags |= flag;
  else
    effectRecord.flags &= ~flag;
}

void EffectBase::setParameter(VstInt32, float) {}
float EffectBase::getParameter(VstInt32) { return 0.0f; }
void EffectBase::processReplacing(float**, float**, VstInt32) {}
void EffectBase::onOpen() {}
void EffectBase::onClose() {}
VstInt32 EffectBase::programIndex() { return currentProgram.load(std::memory_order_relaxed); }
void EffectBase::selectProgram(VstInt32 program) { currentProgram.store(program, std::memory_order_relaxed); }
void EffectBase::renameProgram(char* text) {
  if (text) text[0] = '\0';
}
void EffectBase::copyProgramName(char* text) {
  if (text) text[0] = '\0';
}
void EffectBase::copyParameterLabel(VstInt32, char* text) {
  if (text) text[0] = '\0';
}
void EffectBase::copyParameterDisplay(VstInt32, char* text) {
  if (text) text[0] = '\0';
}
void EffectBase::copyParameterName(VstInt32, char* text) {
  if (text) text[0] = '\0';
}
float EffectBase::meterLevel() { return 0.0f; }
VstInt32 EffectBase::saveChunk(void**, bool) { return 0; }
VstInt32 EffectBase::loadChunk(void*, VstInt32, bool) { return 0; }
void EffectBase::changeSampleRate(float rate) { sampleRate = rate; }
void EffectBase::changeBlockSize(VstInt32 frames) { blockSize = frames; }
void EffectBase::onSuspend() {}
void EffectBase::onResume() {}
void EffectBase::assignUniqueId(VstInt32 id) { effectRecord.uniqueID = id; }
void EffectBase::assignInputCount(VstInt32 count) { effectRecord.numInputs = count; }
void EffectBase::assignOutputCount(VstInt32 count) { effectRecord.numOutputs = count; }
void EffectBase::markMeter(bool on) { setFlag(kFlagHasMeter, on); }
void EffectBase::markClip(bool on) { setFlag(kFlagHasClip, on); }
void EffectBase::markMono(bool on) { setFlag(kFlagCanMono, on); }
void EffectBase::markReplacing(bool on) { setFlag(kFlagCanReplacing, on); }
void EffectBase::markChunks(bool on) { setFlag(kFlagProgramChunks, on); }
void EffectBase::assignRealtimeQualities(VstInt32 n) { effectRecord.realQualities = n; }
void EffectBase::assignOfflineQualities(VstInt32 n) { effectRecord.offQualities = n; }
void EffectBase::assignInitialDelay(VstInt32 frames) { effectRecord.initialDelay = frames; }
float EffectBase::sampleRateValue() { return sampleRate; }
VstInt32 EffectBase::blockSizeValue() { return blockSize; }

VstIntPtr EffectBase::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  if (!hostCallback) return 0;
  return hostCallback(const_cast<AEffect*>(&effectRecord), opcode, index, value, ptr, opt);
}

}  // namespace brume
