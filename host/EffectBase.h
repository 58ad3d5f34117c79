#pragma once
// The root of every effect: owns the record handed to the host, the host
// callback and the editor, and turns dispatcher opcodes 0 to 24 into calls of
// its virtual operations. Defaults mean "not handled".

#include <atomic>

#include "host/EditorBase.h"
#include "host/HostRecords.h"

namespace brume {

class EffectBase {
 public:
  // Any thread, once per instance (from the plug-in entry).
  EffectBase(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount);
  // UI or dispatcher thread, from opcode 1 only; destroys the editor.
  virtual ~EffectBase();

  EffectBase(const EffectBase&) = delete;
  EffectBase& operator=(const EffectBase&) = delete;

  // Parameters: any thread.
  virtual void setParameter(VstInt32 index, float value);
  virtual float getParameter(VstInt32 index);
  virtual void setParameterAndNotify(VstInt32 index, float value);

  // Audio thread, real-time safe in every override.
  virtual void process(float** inputs, float** outputs, VstInt32 frames) = 0;
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 frames);

  // Dispatcher thread (audio thread for opcode 25); the base handles opcodes 0 to 24.
  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  // Dispatcher thread.
  virtual void onOpen();
  virtual void onClose();
  virtual VstInt32 programIndex();
  virtual void selectProgram(VstInt32 program);
  virtual void renameProgram(char* text);
  virtual void copyProgramName(char* text);
  virtual void copyParameterLabel(VstInt32 index, char* text);
  virtual void copyParameterDisplay(VstInt32 index, char* text);
  virtual void copyParameterName(VstInt32 index, char* text);
  virtual float meterLevel();
  virtual VstInt32 saveChunk(void** data, bool isPreset);
  virtual VstInt32 loadChunk(void* data, VstInt32 byteSize, bool isPreset);
  virtual void changeSampleRate(float rate);
  virtual void changeBlockSize(VstInt32 frames);
  virtual void onSuspend();
  virtual void onResume();

  // Identity and flags: construction or dispatcher thread.
  virtual void assignUniqueId(VstInt32 id);
  virtual void assignInputCount(VstInt32 count);
  virtual void assignOutputCount(VstInt32 count);
  virtual void markMeter(bool on);
  virtual void markClip(bool on);
  virtual void markMono(bool on);
  virtual void markReplacing(bool on);
  virtual void markChunks(bool on);
  virtual void assignRealtimeQualities(VstInt32 n);
  virtual void assignOfflineQualities(VstInt32 n);
  virtual void assignInitialDelay(VstInt32 frames);
  virtual float sampleRateValue();
  virtual VstInt32 blockSizeValue();

  // Host requests: the calling thread; no state of their own.
  virtual VstInt32 hostVersion();
  virtual VstInt32 hostCurrentId();
  virtual void hostIdle();
  virtual bool isInputConnected(VstInt32 index);
  virtual bool isOutputConnected(VstInt32 index);

  // Value-to-text tools: any thread; write at most 8 characters and a zero.
  virtual void decibelsToText(float value, char* text);
  virtual void hertzToText(float samples, char* text);
  virtual void millisecondsToText(float samples, char* text);
  virtual void floatToText(float value, char* text);
  virtual void integerToText(VstInt32 value, char* text);

  // Non-virtual access for the entry, the editor and tests.
  AEffect* record() { return &effectRecord; }
  audioMasterCallback callback() const { return hostCallback; }
  EditorBase* editorObjectPointer() const { return editor; }
  // The GUI toolkit's editor registers itself here and sets flag 0x001.
  void attachEditor(EditorBase* newEditor);
  void setFlag(VstInt32 flag, bool on);
  VstInt32 programCountValue() const { return programCount; }
  VstInt32 parameterCountValue() const { return parameterCount; }

  // Recovers the object behind a record handed out by the plug-in entry.
  static EffectBase* fromRecord(AEffect* record);

 protected:
  // One host request with the instance's own record; 0 when there is no callback.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;

  float sampleRate = 44100.0f;
  EditorBase* editor = nullptr;
  audioMasterCallback hostCallback;
  VstInt32 programCount;
  VstInt32 parameterCount;
  // Read on the audio thread while the host may select a program elsewhere.
  std::atomic<VstInt32> currentProgram{0};
  VstInt32 blockSize = 1024;
  AEffect effectRecord;
};

}  // namespace brume
