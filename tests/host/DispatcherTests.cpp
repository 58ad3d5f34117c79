#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/EffectBaseEx.h"

namespace brume {
namespace {

class RecordingEditor : public EditorBase {
 public:
  explicit RecordingEditor(EffectBase* effect) : EditorBase(effect) {}
  VstInt32 getRect(ERect** rect) override {
    calls.push_back("getRect");
    *rect = &rectangle;
    return 1;
  }
  VstInt32 open(void* window) override {
    calls.push_back("open");
    openedWith = window;
    return 7;
  }
  void close() override { calls.push_back("close"); }
  void idle() override { calls.push_back("idle"); }
  VstInt32 onKeyPress(KeyCode key) override {
    lastKey = key;
    calls.push_back("keyDown");
    return 5;
  }
  VstInt32 onKeyRelease(KeyCode key) override {
    lastKey = key;
    calls.push_back("keyUp");
    return 6;
  }
  VstInt32 setKnobMode(VstIntPtr mode) override {
    knobMode = mode;
    return 1;
  }

  ERect rectangle{0, 0, 200, 650};
  std::vector<std::string> calls;
  void* openedWith = nullptr;
  KeyCode lastKey;
  VstIntPtr knobMode = -1;
};

// Records which operation each opcode reached and with which arguments.
class ProbeEffect : public EffectBaseEx {
 public:
  ProbeEffect() : EffectBaseEx(nullptr, 16, 54) {}
  void process(float**, float**, VstInt32) override {}

  void selectProgram(VstInt32 program) override {
    selected.push_back(program);
    EffectBaseEx::selectProgram(program);
  }
  float meterLevel() override { return level; }
  void onSuspend() override { ++suspends; }
  void onResume() override { ++resumes; }
  bool copyProgramNameAt(VstInt32 category, VstInt32 index, char* text) override {
    lastCategory = category;
    lastIndex = index;
    std::strcpy(text, "name");
    return true;
  }
  void inputConnectionChanged(VstInt32 index, bool connected) override {
    lastIndex = index;
    lastConnected = connected;
  }
  bool wantsKeys() override { return keys; }
  bool copyEffectName(char* text) override {
    std::strcpy(text, "probe");
    return true;
  }
  VstInt32 saveChunk(void** data, bool isPreset) override {
    lastPreset = isPreset;
    return data ? 3 : 4;
  }

  float level = 0.0f;
  int suspends = 0;
  int resumes = 0;
  bool keys = false;
  bool lastPreset = false;
  bool lastConnected = false;
  VstInt32 lastCategory = -1;
  VstInt32 lastIndex = -1;
  std::vector<VstInt32> selected;

  VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return dispatcher(opcode, index, value, ptr, opt);
  }
  void giveEditor() { attachEditor(new RecordingEditor(this)); }
  RecordingEditor* recordingEditor() { return static_cast<RecordingEditor*>(editorObject()); }
  float rate() { return sampleRateValue(); }
  VstInt32 block() { return blockSizeValue(); }
};

TEST(Dispatcher, FixedAnswers) {
  ProbeEffect e;
  EXPECT_EQ(e.call(22, 5, 9, &e, 2.0f), 0x4E764566);
  EXPECT_EQ(e.call(28), 1);
  EXPECT_EQ(e.call(31, 1, 0), 1);
  EXPECT_EQ(e.call(32, 3, 1), 1);
  EXPECT_EQ(e.call(58), 2200);
  EXPECT_EQ(e.call(63), -1);
  EXPECT_EQ(e.call(26, 12), 1);
  EXPECT_EQ(e.call(35), 0) << "no synthesizer flag yet";
}

TEST(Dispatcher, UnservedAndOutOfRangeOpcodesAnswerZero) {
  ProbeEffect e;
  e.giveEditor();
  for (VstInt32 opcode : {16, 17, 18, 20, 21, 69, 70, 1000, -1, -100}) {
    EXPECT_EQ(e.call(opcode, 1, 1, &e, 1.0f), 0) << "opcode " << opcode;
  }
  EXPECT_TRUE(e.recordingEditor()->calls.empty());
}

TEST(Dispatcher, MeterLevelIsScaledAndTruncated) {
  ProbeEffect e;
  e.level = 1.0f;
  EXPECT_EQ(e.call(9), 32767);
  e.level = 0.5f;
  EXPECT_EQ(e.call(9), 16383);
  e.level = -0.5f;
  EXPECT_EQ(e.call(9), -16383);
}

TEST(Dispatcher, SuspendOnZeroResumeOnAnythingElse) {
  ProbeEffect e;
  e.call(12, 0, 0);
  e.call(12, 0, 1);
  e.call(12, 0, -1);
  EXPECT_EQ(e.suspends, 1);
  EXPECT_EQ(e.resumes, 2);
}

TEST(Dispatcher, ProgramNumbersOutsideTheBankAreRefused) {
  ProbeEffect e;
  e.call(2, 0, 3);
  e.call(2, 0, 16);
  e.call(2, 0, -1);
  EXPECT_EQ(e.selected, std::vector<VstInt32>{3});
  EXPECT_EQ(e.call(3), 3);
}

TEST(Dispatcher, ArgumentChoices) {
  ProbeEffect e;
  char text[64] = {};
  EXPECT_EQ(e.call(29, 4, 7, text), 1);
  EXPECT_EQ(e.lastCategory, 7) << "value carries the category";
  EXPECT_EQ(e.lastIndex, 4) << "index carries the program";
  e.call(31, 2, 5);
  EXPECT_TRUE(e.lastConnected);
  e.call(31, 2, 0);
  EXPECT_FALSE(e.lastConnected);
  EXPECT_EQ(e.call(23, 1, 0, nullptr), 4);
  EXPECT_TRUE(e.lastPreset);
  e.call(23, 0, 0, nullptr);
  EXPECT_FALSE(e.lastPreset);
}

TEST(Dispatcher, KeysRequiredIsTheInverseOfWantsKeys) {
  ProbeEffect e;
  EXPECT_EQ(e.call(57), 1);
  e.keys = true;
  EXPECT_EQ(e.call(57), 0);
}

TEST(Dispatcher, RateAndBlockSize) {
  ProbeEffect e;
  EXPECT_EQ(e.rate(), 44100.0f);
  EXPECT_EQ(e.block(), 1024);
  e.call(10, 0, 0, nullptr, 48000.5f);
  e.call(11, 0, 256);
  EXPECT_EQ(e.rate(), 48000.5f);
  EXPECT_EQ(e.block(), 256);
  EXPECT_EQ(e.call(43, 0, 64, nullptr, 96000.0f), 1);
  EXPECT_EQ(e.rate(), 96000.0f);
  EXPECT_EQ(e.block(), 64);
}

TEST(Dispatcher, TextOpcodesWithoutBufferDoNothing) {
  ProbeEffect e;
  for (VstInt32 opcode : {4, 5, 6, 7, 8, 29, 45, 46, 47, 48}) EXPECT_EQ(e.call(opcode, 0, 0, nullptr), 0);
}

TEST(Dispatcher, EditorOpcodesWithoutEditorAnswerZero) {
  ProbeEffect e;
  ERect* rect = reinterpret_cast<ERect*>(&e);
  for (VstInt32 opcode : {13, 14, 15, 19, 59, 60, 61}) EXPECT_EQ(e.call(opcode, 1, 1, &rect, 1.0f), 0);
}

TEST(Dispatcher, EditorOpcodesReachTheEditor) {
  ProbeEffect e;
  e.giveEditor();
  RecordingEditor* editor = e.recordingEditor();
  ERect* rect = nullptr;
  EXPECT_EQ(e.call(13, 0, 0, &rect), 1);
  EXPECT_EQ(rect, &editor->rectangle);
  int window = 0;
  EXPECT_EQ(e.call(14, 0, 0, &window), 7);
  EXPECT_EQ(editor->openedWith, &window);
  EXPECT_EQ(e.call(19), 0);
  EXPECT_EQ(e.call(15), 0);
  EXPECT_EQ(e.call(61, 0, 2), 1);
  EXPECT_EQ(editor->knobMode, 2);
  EXPECT_EQ(editor->calls, (std::vector<std::string>{"getRect", "open", "idle", "close"}));
}

TEST(Dispatcher, KeyCodeIsPackedFromIndexValueAndOpt) {
  ProbeEffect e;
  e.giveEditor();
  EXPECT_EQ(e.call(59, 65, 0x1FF, nullptr, 3.7f), 5);
  KeyCode key = e.recordingEditor()->lastKey;
  EXPECT_EQ(key.character, 65);
  EXPECT_EQ(key.virtualKey, 255);
  EXPECT_EQ(key.modifiers, 3);
  EXPECT_EQ(e.call(60, 1, 13, nullptr, 1e30f), 6) << "an absurd modifier float must not be undefined";
  EXPECT_EQ(e.recordingEditor()->lastKey.virtualKey, 13);
}

TEST(Dispatcher, AttachingAnEditorSetsTheEditorFlag) {
  ProbeEffect e;
  EXPECT_EQ(e.record()->flags & kFlagHasEditor, 0);
  e.giveEditor();
  EXPECT_EQ(e.record()->flags & kFlagHasEditor, kFlagHasEditor);
}

TEST(FlagOperations, SetAndClearOneBitEach) {
  ProbeEffect e;
  struct Case {
    void (ProbeEffect::*mark)(bool);
    VstInt32 bit;
  };
  const Case cases[] = {{&ProbeEffect::markMeter, 0x004},
                        {&ProbeEffect::markClip, 0x002},
                        {&ProbeEffect::markMono, 0x008},
                        {&ProbeEffect::markReplacing, 0x010},
                        {&ProbeEffect::markChunks, 0x020},
                        {&ProbeEffect::markSynth, 0x100},
                        {&ProbeEffect::markSilentWhenStopped, 0x200},
                        {&ProbeEffect::markAsync, 0x400},
                        {&ProbeEffect::markExternalBuffer, 0x800}};
  for (const Case& c : cases) {
    (e.*c.mark)(true);
    EXPECT_EQ(e.record()->flags, c.bit);
    (e.*c.mark)(false);
    EXPECT_EQ(e.record()->flags, 0);
  }
  e.markSynth(true);
  EXPECT_EQ(e.call(35), 2);
}

}  // namespace
}  // namespace brume
