#pragma once
// The extended effect: opcodes 25 to 68 and the rest of the host requests.
// Adds no data; every default means "not handled".

#include "host/EffectBase.h"

namespace brume {

class EffectBaseEx : public EffectBase {
 public:
  EffectBaseEx(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount);

  // Dispatcher thread; opcodes below 25 or above 68 go to the base dispatcher.
  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

  virtual EditorBase* editorObject();
  // Host requests run on the calling thread; hostTempoAt also on the audio thread.
  virtual VstIntPtr hostWantEvents(VstIntPtr filter);
  virtual void* hostTimeInfo(VstIntPtr filter);
  virtual VstIntPtr hostTempoAt(VstIntPtr position);
  // Audio thread, real-time safe.
  virtual VstInt32 receiveEvents(VstEvents* events);
  virtual VstIntPtr hostAutomatableCount();
  virtual VstIntPtr hostParameterQuantization();
  // Dispatcher thread from here on unless said otherwise.
  virtual bool isAutomatable(VstInt32 index);
  virtual bool parameterFromText(VstInt32 index, char* text);
  virtual float channelParameter(VstInt32 channel, VstInt32 index);
  virtual VstInt32 programCategoryCount();
  virtual bool copyProgramNameAt(VstInt32 category, VstInt32 index, char* text);
  virtual bool copyProgramTo(VstInt32 destination);
  virtual bool hostIoChanged();
  virtual bool hostNeedIdle();
  virtual bool hostResizeWindow(VstInt32 width, VstInt32 height);
  virtual float hostSampleRate();
  virtual VstInt32 hostBlockSize();
  virtual VstIntPtr hostInputLatency();
  virtual VstIntPtr hostOutputLatency();
  virtual AEffect* hostPreviousPlugin(VstInt32 pin);
  virtual AEffect* hostNextPlugin(VstInt32 pin);
  virtual void inputConnectionChanged(VstInt32 index, bool connected);
  virtual void outputConnectionChanged(VstInt32 index, bool connected);
  virtual bool inputPinProperties(VstInt32 index, void* properties);
  virtual bool outputPinProperties(VstInt32 index, void* properties);
  virtual VstInt32 pluginCategory();
  virtual VstIntPtr hostReplaceOrAccumulate();
  virtual VstIntPtr hostProcessLevel();
  virtual VstIntPtr hostAutomationState();
  virtual void markAsync(bool on);
  virtual void markExternalBuffer(bool on);
  virtual VstInt32 currentPosition();
  virtual VstInt32 destinationBuffer();
  virtual bool hostOfflineRead(void* offline, VstIntPtr option, bool readSource);
  virtual bool hostOfflineWrite(void* offline, VstIntPtr option);
  virtual bool hostOfflineStart(void* files, VstIntPtr count, VstInt32 newCount);
  virtual bool hostOfflinePass();
  virtual bool hostOfflineMetaPass();
  virtual bool notifyOffline(void* files, VstIntPtr count, bool start);
  virtual bool prepareOffline(void* tasks, VstIntPtr count);
  virtual bool runOffline(void* tasks, VstIntPtr count);
  virtual VstInt32 spareQueryA();
  virtual VstInt32 spareQueryB();
  virtual void hostSetOutputRate(float rate);
  virtual bool hostSpeakerArrangement(void* inputs, void* outputs);
  virtual bool hostVendorText(char* text);
  virtual bool hostProductText(char* text);
  virtual VstIntPtr hostVendorVersion();
  virtual VstIntPtr hostVendorQuery(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  virtual bool hostCanDo(char* text);
  virtual void markSynth(bool on);
  virtual void markSilentWhenStopped(bool on);
  virtual VstIntPtr hostLanguage();
  virtual void* hostOpenWindow(void* description);
  virtual bool hostCloseWindow(void* description);
  virtual void* hostDirectory();
  virtual bool hostUpdateDisplay();
  virtual bool processVariableBlock(void* io);
  virtual bool acceptSpeakerArrangement(VstIntPtr inputs, void* outputs);
  virtual void changeBlockSizeAndRate(VstInt32 frames, float rate);
  virtual bool bypass(bool on);
  virtual bool copyEffectName(char* text);
  virtual bool copyErrorText(char* text);
  virtual bool copyVendorName(char* text);
  virtual bool copyProductName(char* text);
  virtual VstInt32 vendorVersion();
  virtual VstIntPtr vendorQuery(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  virtual VstInt32 answerCanDo(char* text);
  virtual VstIntPtr iconHandle();
  virtual bool moveView(VstInt32 x, VstIntPtr y);
  virtual VstInt32 tailSize();
  virtual VstInt32 idleTick();
  virtual bool parameterProperties(VstInt32 index, void* properties);
  virtual bool wantsKeys();
  virtual VstInt32 interfaceVersion();
  virtual VstInt32 midiProgramName(VstInt32 channel, void* info);
  virtual VstInt32 currentMidiProgram(VstInt32 channel, void* info);
  virtual VstInt32 midiProgramCategory(VstInt32 channel, void* info);
  virtual bool midiProgramsChanged(VstInt32 channel);
  virtual bool midiKeyName(VstInt32 channel, void* info);
  virtual bool programLoadStarting();
  virtual bool programLoadFinished();
  // UI thread (around a knob drag).
  virtual bool hostBeginEdit(VstInt32 index);
  virtual bool hostEndEdit(VstInt32 index);
  virtual bool hostOpenFileSelector(void* selector);
};

}  // namespace brume
