#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "editor/ParameterSwitch.h"
#include "gui/Control.h"
#include "gui/FileDropView.h"
#include "gui/FilmstripKnob.h"
#include "gui/StripDisplay.h"
#include "gui/TextField.h"
#include "instrument/ParameterCatalogue.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/MidiEvents.h"

namespace brume::test {
namespace {

Point centreOf(std::int32_t index) { return Point{ParameterLayout[index].x, ParameterLayout[index].y}; }

using Editor = EditorFixture;

TEST_F(Editor, ConstructionRegistersTheEditorWithTheHost) {
  EXPECT_EQ(instrument->record()->flags, 0x111);
  ERect* rect = nullptr;
  EXPECT_EQ(call(13, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 200);
  EXPECT_EQ(rect->right, 650);
  EXPECT_FALSE(editor()->isEditorOpen());
}

TEST_F(Editor, OpenLaysOutEveryParameter) {
  open();
  int captions = 0, values = 0, switches = 0, knobs = 0;
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    captions += ParameterLayout[i].hasCaption;
    values += ParameterLayout[i].hasValueText;
    Control* control = editor()->parameterControl(i);
    ASSERT_NE(control, nullptr) << i;
    EXPECT_EQ(control->getTag(), i);
    EXPECT_TRUE(control->isTransparent());
    if (dynamic_cast<ParameterSwitch*>(control))
      ++switches;
    else if (dynamic_cast<FilmstripKnob*>(control))
      ++knobs;
    if (TextField* caption = editor()->captionText(i)) {
      EXPECT_STREQ(caption->getText(), ParameterLayout[i].caption);
      EXPECT_FALSE(caption->isMouseActive());
      EXPECT_EQ(caption->getTag(), i + 54);
    }
  }
  EXPECT_EQ(knobs, 47);
  EXPECT_EQ(switches, 7);
  // The file drop view under everything, the controls and texts, the meter.
  EXPECT_EQ(frame()->viewCount(), 1 + kParameterCount + captions + values + 1);
  EXPECT_NE(dynamic_cast<FileDropView*>(frame()->viewAt(0)), nullptr) << "the drop view is added first";
  EXPECT_EQ(editor()->voiceMeterDisplay()->getTag(), 100);
  EXPECT_EQ(frame()->viewAt(frame()->viewCount() - 1), editor()->voiceMeterDisplay()) << "the meter is added last";
}

TEST_F(Editor, ValuesAppearAtTheFirstIdleAfterOpening) {
  open();
  EXPECT_EQ(valueText(kPitch), "");
  EXPECT_EQ(editor()->parameterControl(kVolume)->getValue(), 0.0f);
  headless::paintWindow(frame()->nativeWindow());
  EXPECT_EQ(shownKnobFrame(kVolume), 0) << "knobs show image 0 until the first refresh";
  idle();
  EXPECT_EQ(valueText(kPitch), "+0 ");
  EXPECT_EQ(valueText(kO2Pitch), "-12 ");
  EXPECT_EQ(valueText(kO2Shape), "Sinsaw ");
  EXPECT_EQ(editor()->parameterControl(kVolume)->getValue(), 0.9f);
  EXPECT_EQ(shownKnobFrame(kVolume), static_cast<std::int32_t>(0.9f * 54 * 32) / 32);
}

TEST_F(Editor, FreshProgramShowsNoEventRangeTexts) {
  openAndSettle();
  for (std::int32_t aim : {kE1Aim, kE2Aim, kE3Aim, kE4Aim}) {
    EXPECT_EQ(valueText(aim), "Nothin' ");
    EXPECT_EQ(valueText(aim + 1), "E5 ");
    EXPECT_EQ(valueText(aim + 2), "");
    EXPECT_EQ(valueText(aim + 3), "");
  }
}

TEST_F(Editor, RangeTextsFollowTheirModulationTarget) {
  openAndSettle();
  instrument->setParameter(kL1Aim, 6.5f / 46.0f);  // O1-Pitch
  instrument->setParameter(kL1Min, 0.25f);
  headless::advanceTickCount(200);
  instrument->setParameter(kL1Min, 0.25f);
  idle();
  EXPECT_EQ(valueText(kL1Min), "-12 ");
  instrument->setParameter(kL1Aim, 41.5f / 46.0f);  // Cutoff has no value text in the editor
  headless::advanceTickCount(200);
  instrument->setParameter(kL1Min, 0.25f);
  idle();
  EXPECT_EQ(valueText(kL1Min), "");
  char hostText[32] = {};
  call(7, kL1Min, 0, hostText);
  EXPECT_STREQ(hostText, "0.25") << "the host still gets the target's text";
  instrument->setParameter(kE2Aim, 24.5f / 55.0f);  // L1-Aim: shows a value text but is no valid target
  headless::advanceTickCount(200);
  instrument->setParameter(kE2Val, 0.5f);
  idle();
  EXPECT_EQ(valueText(kE2Val), " ");
}

TEST_F(Editor, RefreshesAreThrottledTo100Milliseconds) {
  openAndSettle();
  instrument->setParameter(kComp, 0.3f);  // within 100 ms of the refresh request that opened
  idle();
  EXPECT_NE(editor()->parameterControl(kComp)->getValue(), 0.3f);
  headless::advanceTickCount(100);
  instrument->setParameter(kComp, 0.31f);
  idle();
  EXPECT_NE(editor()->parameterControl(kComp)->getValue(), 0.31f) << "exactly 100 ms is not more than 100 ms";
  headless::advanceTickCount(1);
  instrument->setParameter(kComp, 0.32f);
  idle();
  EXPECT_EQ(editor()->parameterControl(kComp)->getValue(), 0.32f);
}

TEST_F(Editor, TheVoiceMeterFollowsRenderedBlocks) {
  openAndSettle();
  EXPECT_EQ(shownMeterFrame(), 0);
  std::vector<VstMidiEvent> notes;
  for (int i = 0; i < 16; ++i) notes.push_back(midiEvent(0x90, static_cast<unsigned char>(40 + i), 100));
  MidiEventList list(notes);
  call(25, 0, 0, list.list());
  std::vector<float> left(512), right(512);
  float* outputs[] = {left.data(), right.data()};
  headless::advanceTickCount(200);
  instrument->processReplacing(nullptr, outputs, 512);
  idle();
  EXPECT_EQ(editor()->voiceMeterDisplay()->getValue(), 1.0f);
  EXPECT_EQ(shownMeterFrame(), 16);

  for (VstMidiEvent& note : notes) note.midiData[0] = 0x80;
  list.set(notes);
  call(25, 0, 0, list.list());
  for (int block = 0; block < 20; ++block) instrument->processReplacing(nullptr, outputs, 512);
  headless::advanceTickCount(200);
  instrument->processReplacing(nullptr, outputs, 512);
  idle();
  EXPECT_EQ(shownMeterFrame(), 0);
}

TEST_F(Editor, DraggingAKnobAutomatesTheParameterInsideEditBeginAndEnd) {
  openAndSettle();
  EXPECT_EQ(call(61, 0, 2), 1);  // linear knobs
  host.clear();
  const Point knob = centreOf(kCutoff);
  drag(knob, {{knob.x, knob.y - 10}, {knob.x, knob.y - 20}});
  EXPECT_FLOAT_EQ(instrument->getParameter(kCutoff), 0.5f + 20.0f / 200.0f);
  ASSERT_GE(host.calls.size(), 3u);
  EXPECT_EQ(host.calls.front().opcode, kHostBeginEdit);
  EXPECT_EQ(host.calls.front().index, kCutoff);
  EXPECT_EQ(host.calls.back().opcode, kHostEndEdit);
  EXPECT_EQ(host.calls.back().index, kCutoff);
  const auto automated = host.callsWith(kHostAutomate);
  ASSERT_FALSE(automated.empty());
  EXPECT_EQ(automated.back().index, kCutoff);
  EXPECT_FLOAT_EQ(automated.back().opt, 0.6f);
  EXPECT_EQ(instrument->program(0)->values.get(kCutoff), instrument->getParameter(kCutoff));
}

TEST_F(Editor, CircularDragFollowsThePointer) {
  openAndSettle();
  call(61, 0, 0);
  const Point knob = centreOf(kRes);
  // Left of the centre is 1/6 of the range, straight up the middle, right 5/6.
  drag(Point{knob.x - 10, knob.y}, {{knob.x - 16, knob.y}});
  EXPECT_NEAR(instrument->getParameter(kRes), 1.0f / 6.0f, 1e-6);
  drag(Point{knob.x - 10, knob.y}, {{knob.x, knob.y - 10}, {knob.x + 12, knob.y}});
  EXPECT_NEAR(instrument->getParameter(kRes), 5.0f / 6.0f, 1e-6);
}

TEST_F(Editor, ControlClickResetsAKnobToTheMiddleNotToItsDefault) {
  openAndSettle();
  host.clear();
  click(centreOf(kVolume), 1 | 16);
  EXPECT_EQ(instrument->getParameter(kVolume), 0.5f);
  EXPECT_EQ(host.callsWith(kHostAutomate).size(), 1u);
}

TEST_F(Editor, SwitchClicks) {
  openAndSettle();
  instrument->setParameter(kLfo2, 0.7f);
  headless::advanceTickCount(200);
  instrument->setParameter(kLfo2, 0.7f);
  idle();
  click(centreOf(kLfo2));
  EXPECT_EQ(instrument->getParameter(kLfo2), 1.0f) << "trunc(0.7) is 0, so the click sets 1";
  click(centreOf(kLfo2));
  EXPECT_EQ(instrument->getParameter(kLfo2), 0.0f);
  host.clear();
  click(centreOf(kLfo2), 4);  // right button
  EXPECT_EQ(instrument->getParameter(kLfo2), 0.0f);
  EXPECT_TRUE(host.callsWith(kHostAutomate).empty());
}

TEST_F(Editor, ASwitchClickSurvivesARefreshDuringItsIdle) {
  openAndSettle();
  // A refresh is pending that would reload the old value (0) during the click's idle.
  editor()->markForRefresh();
  headless::advanceTickCount(1000);
  click(centreOf(kGlide));
  EXPECT_EQ(editor()->parameterControl(kGlide)->getValue(), 1.0f);
  EXPECT_EQ(instrument->getParameter(kGlide), 1.0f);
}

TEST_F(Editor, SwitchShowsOnOnlyAboveOneHalf) {
  openAndSettle();
  const Point sw = centreOf(kLpFilter);  // 1.0 by default: on
  const raster::Pixel on = canvas().pixel(sw.x + 8, sw.y);
  instrument->setParameter(kLpFilter, 0.5f);
  headless::advanceTickCount(200);
  instrument->setParameter(kLpFilter, 0.5f);
  idle();
  const raster::Pixel atHalf = canvas().pixel(sw.x + 8, sw.y);
  EXPECT_NE(on, atHalf) << "0.5 draws the off image although its text is \"On\"";
}

TEST_F(Editor, CaptionsAndValueTextsIgnoreTheMouse) {
  openAndSettle();
  host.clear();
  // Beside the knobs, so that no control lies under the texts.
  click(Point{centreOf(kPitch).x + 19, centreOf(kPitch).y + 18});    // the value text below the knob
  click(Point{centreOf(kAttack).x - 20, centreOf(kAttack).y - 19});  // the caption above it
  EXPECT_TRUE(host.callsWith(kHostAutomate).empty());
}

TEST_F(Editor, KeyedKnobPixelsLeaveTheBackground) {
  openAndSettle();
  // The corners of every knob square are key colour in the strip: the background shows through.
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    const ParameterLayoutRow& row = ParameterLayout[i];
    if (row.controlKind == kSwitchControl) continue;
    for (Point corner : {Point{row.x - 16, row.y - 9}, Point{row.x + 15, row.y + 9}})
      EXPECT_EQ(canvas().pixel(corner.x, corner.y), backgroundPixel(corner.x, corner.y)) << i;
  }
  EXPECT_EQ(shownKnobFrame(kO2Pitch), static_cast<std::int32_t>(0.25f * 54 * 32) / 32);
  instrument->setParameter(kO2Pitch, 1.0f);
  headless::advanceTickCount(200);
  instrument->setParameter(kO2Pitch, 1.0f);
  idle();
  EXPECT_EQ(shownKnobFrame(kO2Pitch), 54);
}

TEST_F(Editor, EverythingAfterCloseDoesNothing) {
  openAndSettle();
  call(15);
  EXPECT_FALSE(editor()->isEditorOpen());
  EXPECT_EQ(editor()->getFrame(), nullptr);
  editor()->showSoundingVoices(5);
  editor()->requestRefresh();
  editor()->refresh();
  editor()->updateValueText(2);
  idle();
  call(15);
  EXPECT_EQ(call(14, 0, 0, &hostWindow), 1) << "and it opens again";
  const std::int32_t windows = headless::windowCount();
  call(14, 0, 0, &hostWindow);
  EXPECT_EQ(headless::windowCount(), windows) << "a second open replaces the first window";
}

}  // namespace
}  // namespace brume::test
