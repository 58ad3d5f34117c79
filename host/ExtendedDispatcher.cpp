// Opcodes 25 to 68: one small handler each, in opcode order. Everything else
// goes to the base dispatcher.
#include <cmath>

#include "host/EffectBaseEx.h"

namespace brume {
namespace {

using Handler = VstIntPtr (*)(EffectBaseEx& effect, VstInt32 index, VstIntPtr value, void* ptr, float opt);

constexpr VstInt32 kFirstOpcode = 25;

VstIntPtr answer(bool result) { return result ? 1 : 0; }

char* textOf(void* ptr) { return static_cast<char*>(ptr); }

// The host packs the key into (index, value, opt); modifiers travel as a float.
KeyCode keyFrom(VstInt32 index, VstIntPtr value, float opt) {
  KeyCode key;
  key.character = index;
  key.virtualKey = static_cast<unsigned char>(value & 0xFF);
  const float whole = std::trunc(opt);
  key.modifiers = (whole >= 0.0f && whole < 256.0f)   ? static_cast<unsigned char>(whole)
                  : (whole < 0.0f && whole > -256.0f) ? static_cast<unsigned char>(static_cast<int>(whole) & 0xFF)
                                                      : 0;
  return key;
}

constexpr Handler kHandlers[] = {
    /* 25 event list */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
      return e.receiveEvents(static_cast<VstEvents*>(ptr));
    },
    /* 26 can be automated */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void*, float) { return answer(e.isAutomatable(index)); },
    /* 27 parameter from text */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) {
      return answer(e.parameterFromText(index, textOf(ptr)));
    },
    /* 28 program categories */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.programCategoryCount(); },
    /* 29 program name by index; value is the category */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void* ptr, float) {
      if (!ptr) return VstIntPtr{0};
      return answer(e.copyProgramNameAt(static_cast<VstInt32>(value), index, textOf(ptr)));
    },
    /* 30 copy program */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void*, float) { return answer(e.copyProgramTo(index)); },
    /* 31 input connected */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void*, float) -> VstIntPtr {
      e.inputConnectionChanged(index, value != 0);
      return 1;
    },
    /* 32 output connected */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void*, float) -> VstIntPtr {
      e.outputConnectionChanged(index, value != 0);
      return 1;
    },
    /* 33 input pin properties */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) {
      return answer(e.inputPinProperties(index, ptr));
    },
    /* 34 output pin properties */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) {
      return answer(e.outputPinProperties(index, ptr));
    },
    /* 35 category */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.pluginCategory(); },
    /* 36 current position */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.currentPosition(); },
    /* 37 destination buffer */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.destinationBuffer(); },
    /* 38 offline notify */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void* ptr, float) {
      return answer(e.notifyOffline(ptr, value, index != 0));
    },
    /* 39 offline prepare */
    [](EffectBaseEx& e, VstInt32, VstIntPtr value, void* ptr, float) { return answer(e.prepareOffline(ptr, value)); },
    /* 40 offline run */
    [](EffectBaseEx& e, VstInt32, VstIntPtr value, void* ptr, float) { return answer(e.runOffline(ptr, value)); },
    /* 41 variable input and output */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void* ptr, float) { return answer(e.processVariableBlock(ptr)); },
    /* 42 speaker arrangement */
    [](EffectBaseEx& e, VstInt32, VstIntPtr value, void* ptr, float) {
      return answer(e.acceptSpeakerArrangement(value, ptr));
    },
    /* 43 block size and sample rate together */
    [](EffectBaseEx& e, VstInt32, VstIntPtr value, void*, float opt) -> VstIntPtr {
      e.changeBlockSizeAndRate(static_cast<VstInt32>(value), opt);
      return 1;
    },
    /* 44 bypass */
    [](EffectBaseEx& e, VstInt32, VstIntPtr value, void*, float) { return answer(e.bypass(value != 0)); },
    /* 45 effect name */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void* ptr, float) {
      return ptr ? answer(e.copyEffectName(textOf(ptr))) : 0;
    },
    /* 46 error text */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void* ptr, float) {
      return ptr ? answer(e.copyErrorText(textOf(ptr))) : 0;
    },
    /* 47 vendor name */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void* ptr, float) {
      return ptr ? answer(e.copyVendorName(textOf(ptr))) : 0;
    },
    /* 48 product name */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void* ptr, float) {
      return ptr ? answer(e.copyProductName(textOf(ptr))) : 0;
    },
    /* 49 vendor version */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.vendorVersion(); },
    /* 50 vendor specific */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
      return e.vendorQuery(index, value, ptr, opt);
    },
    /* 51 capability query */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr { return e.answerCanDo(textOf(ptr)); },
    /* 52 tail size */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.tailSize(); },
    /* 53 idle */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.idleTick(); },
    /* 54 icon */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) { return e.iconHandle(); },
    /* 55 view position */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void*, float) { return answer(e.moveView(index, value)); },
    /* 56 parameter properties */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) {
      return answer(e.parameterProperties(index, ptr));
    },
    /* 57 keys required: the answer is inverted */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) { return answer(!e.wantsKeys()); },
    /* 58 interface version */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.interfaceVersion(); },
    /* 59 editor key down */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void*, float opt) -> VstIntPtr {
      EditorBase* editor = e.editorObjectPointer();
      return editor ? editor->onKeyPress(keyFrom(index, value, opt)) : 0;
    },
    /* 60 editor key up */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr value, void*, float opt) -> VstIntPtr {
      EditorBase* editor = e.editorObjectPointer();
      return editor ? editor->onKeyRelease(keyFrom(index, value, opt)) : 0;
    },
    /* 61 editor knob mode */
    [](EffectBaseEx& e, VstInt32, VstIntPtr value, void*, float) -> VstIntPtr {
      EditorBase* editor = e.editorObjectPointer();
      return editor ? editor->setKnobMode(value) : 0;
    },
    /* 62 MIDI program name */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) -> VstIntPtr {
      return e.midiProgramName(index, ptr);
    },
    /* 63 current MIDI program */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) -> VstIntPtr {
      return e.currentMidiProgram(index, ptr);
    },
    /* 64 MIDI program category */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) -> VstIntPtr {
      return e.midiProgramCategory(index, ptr);
    },
    /* 65 MIDI programs changed */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void*, float) { return answer(e.midiProgramsChanged(index)); },
    /* 66 MIDI key name */
    [](EffectBaseEx& e, VstInt32 index, VstIntPtr, void* ptr, float) { return answer(e.midiKeyName(index, ptr)); },
    /* 67 begin program load */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) { return answer(e.programLoadStarting()); },
    /* 68 end program load */
    [](EffectBaseEx& e, VstInt32, VstIntPtr, void*, float) { return answer(e.programLoadFinished()); },
};
constexpr VstInt32 kHandlerCount = static_cast<VstInt32>(sizeof kHandlers / sizeof kHandlers[0]);
static_assert(kHandlerCount == 44, "one handler per opcode 25 to 68");

}  // namespace

VstIntPtr EffectBaseEx::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (opcode >= kFirstOpcode && opcode < kFirstOpcode + kHandlerCount)
    return kHandlers[opcode - kFirstOpcode](*this, index, value, ptr, opt);
  return EffectBase::dispatcher(opcode, index, value, ptr, opt);
}

}  // namespace brume
