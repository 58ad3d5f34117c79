// Defaults of the extended effect and its host requests. Each request checks
// for a callback first; without one it answers as if the host had said nothing.
#include "host/EffectBaseEx.h"

namespace brume {
namespace {

// Host opcodes of the requests below, in the host's numbering.
enum : VstInt32 {
  kIoChanged = 13,
  kNeedIdle = 14,
  kSizeWindow = 15,
  kGetSampleRate = 16,
  kGetBlockSize = 17,
  kGetInputLatency = 18,
  kGetOutputLatency = 19,
  kGetPreviousPlug = 20,
  kGetNextPlug = 21,
  kWillReplaceOrAccumulate = 22,
  kGetCurrentProcessLevel = 23,
  kGetAutomationState = 24,
  kOfflineStart = 25,
  kOfflineRead = 26,
  kOfflineWrite = 27,
  kOfflineGetCurrentPass = 28,
  kOfflineGetCurrentMetaPass = 29,
  kSetOutputSampleRate = 30,
  kGetOutputSpeakerArrangement = 31,
  kGetVendorString = 32,
  kGetProductString = 33,
  kGetVendorVersion = 34,
  kVendorSpecific = 35,
  kCanDo = 37,
  kGetLanguage = 38,
  kOpenWindow = 39,
  kCloseWindow = 40,
  kGetDirectory = 41,
  kUpdateDisplay = 42,
  kOpenFileSelector = 45,
  kGetParameterQuantization = 12,
  kGetNumAutomatableParameters = 11,
};

}  // namespace

EffectBaseEx::EffectBaseEx(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount)
    : EffectBase(hostCallback, programCount, parameterCount) {}

EditorBase* EffectBaseEx::editorObject() { return editor; }
VstIntPtr EffectBaseEx::hostWantEvents(VstIntPtr filter) { return callHost(kHostWantMidi, 0, filter); }
void* EffectBaseEx::hostTimeInfo(VstIntPtr filter) {
  return reinterpret_cast<void*>(callHost(kHostGetTime, 0, filter));
}
VstIntPtr EffectBaseEx::hostTempoAt(VstIntPtr position) { return callHost(kHostTempoAt, 0, position); }
VstInt32 EffectBaseEx::receiveEvents(VstEvents*) { return 0; }
VstIntPtr EffectBaseEx::hostAutomatableCount() { return callHost(kGetNumAutomatableParameters); }
VstIntPtr EffectBaseEx::hostParameterQuantization() { return callHost(kGetParameterQuantization); }
bool EffectBaseEx::isAutomatable(VstInt32) { return true; }
bool EffectBaseEx::parameterFromText(VstInt32, char*) { return false; }
float EffectBaseEx::channelParameter(VstInt32, VstInt32) { return 0.0f; }
VstInt32 EffectBaseEx::programCategoryCount() { return 1; }
bool EffectBaseEx::copyProgramNameAt(VstInt32, VstInt32, char*) { return false; }
bool EffectBaseEx::copyProgramTo(VstInt32) { return false; }
bool EffectBaseEx::hostIoChanged() { return callHost(kIoChanged) != 0; }
bool EffectBaseEx::hostNeedIdle() { return callHost(kNeedIdle) != 0; }
bool EffectBaseEx::hostResizeWindow(VstInt32 width, VstInt32 height) {
  return callHost(kSizeWindow, width, height) != 0;
}
// A host may answer these by calling opcodes 10 and 11, which update the members.
float EffectBaseEx::hostSampleRate() {
  callHost(kGetSampleRate);
  return sampleRate;
}
VstInt32 EffectBaseEx::hostBlockSize() {
  callHost(kGetBlockSize);
  return blockSize;
}
VstIntPtr EffectBaseEx::hostInputLatency() { return callHost(kGetInputLatency); }
VstIntPtr EffectBaseEx::hostOutputLatency() { return callHost(kGetOutputLatency); }
AEffect* EffectBaseEx::hostPreviousPlugin(VstInt32) { return reinterpret_cast<AEffect*>(callHost(kGetPreviousPlug)); }
AEffect* EffectBaseEx::hostNextPlugin(VstInt32) { return reinterpret_cast<AEffect*>(callHost(kGetNextPlug)); }
void EffectBaseEx::inputConnectionChanged(VstInt32, bool) {}
void EffectBaseEx::outputConnectionChanged(VstInt32, bool) {}
bool EffectBaseEx::inputPinProperties(VstInt32, void*) { return false; }
bool EffectBaseEx::outputPinProperties(VstInt32, void*) { return false; }
VstInt32 EffectBaseEx::pluginCategory() { return (effectRecord.flags & kFlagIsSynth) ? 2 : 0; }
VstIntPtr EffectBaseEx::hostReplaceOrAccumulate() { return callHost(kWillReplaceOrAccumulate); }
VstIntPtr EffectBaseEx::hostProcessLevel() { return callHost(kGetCurrentProcessLevel); }
VstIntPtr EffectBaseEx::hostAutomationState() { return callHost(kGetAutomationState); }
void EffectBaseEx::markAsync(bool on) { setFlag(kFlagAsync, on); }
void EffectBaseEx::markExternalBuffer(bool on) { setFlag(kFlagExternalBuffer, on); }
VstInt32 EffectBaseEx::currentPosition() { return 0; }
VstInt32 EffectBaseEx::destinationBuffer() { return 0; }
bool EffectBaseEx::hostOfflineRead(void* offline, VstIntPtr option, bool readSource) {
  return callHost(kOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}
bool EffectBaseEx::hostOfflineWrite(void* offline, VstIntPtr option) {
  return callHost(kOfflineWrite, 0, option, offline) != 0;
}
bool EffectBaseEx::hostOfflineStart(void* files, VstIntPtr count, VstInt32 newCount) {
  return callHost(kOfflineStart, newCount, count, files) != 0;
}
bool EffectBaseEx::hostOfflinePass() { return callHost(kOfflineGetCurrentPass) != 0; }
bool EffectBaseEx::hostOfflineMetaPass() { return callHost(kOfflineGetCurrentMetaPass) != 0; }
bool EffectBaseEx::notifyOffline(void*, VstIntPtr, bool) { return false; }
bool EffectBaseEx::prepareOffline(void*, VstIntPtr) { return false; }
bool EffectBaseEx::runOffline(void*, VstIntPtr) { return false; }
VstInt32 EffectBaseEx::spareQueryA() { return 0; }
VstInt32 EffectBaseEx::spareQueryB() { return 0; }
void EffectBaseEx::hostSetOutputRate(float rate) {
  if (hostCallback) callHost(kSetOutputSampleRate, 0, 0, nullptr, rate);
}
bool EffectBaseEx::hostSpeakerArrangement(void* inputs, void* outputs) {
  return callHost(kGetOutputSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(inputs), outputs) != 0;
}
bool EffectBaseEx::hostVendorText(char* text) { return callHost(kGetVendorString, 0, 0, text) != 0; }
bool EffectBaseEx::hostProductText(char* text) { return callHost(kGetProductString, 0, 0, text) != 0; }
VstIntPtr EffectBaseEx::hostVendorVersion() { return callHost(kGetVendorVersion); }
VstIntPtr EffectBaseEx::hostVendorQuery(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return callHost(kVendorSpecific, index, value, ptr, opt);
}
bool EffectBaseEx::hostCanDo(char* text) { return callHost(kCanDo, 0, 0, text) != 0; }
void EffectBaseEx::markSynth(bool on) { setFlag(kFlagIsSynth, on); }
void EffectBaseEx::markSilentWhenStopped(bool on) { setFlag(kFlagNoSoundInStop, on); }
VstIntPtr EffectBaseEx::hostLanguage() { return callHost(kGetLanguage); }
void* EffectBaseEx::hostOpenWindow(void* description) {
  return reinterpret_cast<void*>(callHost(kOpenWindow, 0, 0, description));
}
bool EffectBaseEx::hostCloseWindow(void* description) { return callHost(kCloseWindow, 0, 0, description) != 0; }
void* EffectBaseEx::hostDirectory() { return reinterpret_cast<void*>(callHost(kGetDirectory)); }
bool EffectBaseEx::hostUpdateDisplay() { return callHost(kUpdateDisplay) != 0; }
bool EffectBaseEx::processVariableBlock(void*) { return false; }
bool EffectBaseEx::acceptSpeakerArrangement(VstIntPtr, void*) { return false; }
void EffectBaseEx::changeBlockSizeAndRate(VstInt32 frames, float rate) {
  blockSize = frames;
  sampleRate = rate;
}
bool EffectBaseEx::bypass(bool) { return false; }
bool EffectBaseEx::copyEffectName(char*) { return false; }
bool EffectBaseEx::copyErrorText(char*) { return false; }
bool EffectBaseEx::copyVendorName(char*) { return false; }
bool EffectBaseEx::copyProductName(char*) { return false; }
VstInt32 EffectBaseEx::vendorVersion() { return 0; }
VstIntPtr EffectBaseEx::vendorQuery(VstInt32, VstIntPtr, void*, float) { return 0; }
VstInt32 EffectBaseEx::answerCanDo(char*) { return 0; }
VstIntPtr EffectBaseEx::iconHandle() { return 0; }
bool EffectBaseEx::moveView(VstInt32, VstIntPtr) { return false; }
VstInt32 EffectBaseEx::tailSize() { return 0; }
VstInt32 EffectBaseEx::idleTick() { return 0; }
bool EffectBaseEx::parameterProperties(VstInt32, void*) { return false; }
bool EffectBaseEx::wantsKeys() { return false; }
VstInt32 EffectBaseEx::interfaceVersion() { return 2200; }
VstInt32 EffectBaseEx::midiProgramName(VstInt32, void*) { return 0; }
VstInt32 EffectBaseEx::currentMidiProgram(VstInt32, void*) { return -1; }
VstInt32 EffectBaseEx::midiProgramCategory(VstInt32, void*) { return 0; }
bool EffectBaseEx::midiProgramsChanged(VstInt32) { return false; }
bool EffectBaseEx::midiKeyName(VstInt32, void*) { return false; }
bool EffectBaseEx::programLoadStarting() { return false; }
bool EffectBaseEx::programLoadFinished() { return false; }
bool EffectBaseEx::hostBeginEdit(VstInt32 index) { return callHost(kHostBeginEdit, index) != 0; }
bool EffectBaseEx::hostEndEdit(VstInt32 index) { return callHost(kHostEndEdit, index) != 0; }
bool EffectBaseEx::hostOpenFileSelector(void* selector) {
  if (!selector) return false;
  return callHost(kOpenFileSelector, 0, 0, selector) != 0;
}

}  // namespace brume
