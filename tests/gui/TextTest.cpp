// ValueDisplay and TextField: formatting, styles, setters and editing in the text entry.

#include <cstring>
#include <string>

#include "GuiTestSupport.h"
#include "gui/DrawContext.h"
#include "gui/MouseButtons.h"
#include "gui/TextField.h"
#include "gui/ValueDisplay.h"
#include "gui/native/raster/RasterObjects.h"

namespace brume::testing {
namespace {

constexpr Rect kFieldBounds{20, 20, 80, 36};

class TextTest : public GuiFixture {
 protected:
  TextField* addField(const char* text, std::int32_t style = 0) {
    auto* field = new TextField(kFieldBounds, &listener, 60, text, nullptr, style);
    frame()->addView(field);
    return field;
  }
  // Draws `text` as a default ValueDisplay would, but through the context directly.
  raster::Canvas drawnByHand(const char* text) {
    raster::Canvas expected(canvas().width(), canvas().height(), 0x445566);
    native::Surface* surface = raster::createSurface(expected);
    {
      DrawContext context(frame(), surface, nullptr);
      context.setFillColour(kBlackColour);
      context.fillRect(kFieldBounds);
      context.setFrameColour(kBlackColour);
      context.frameRect(kFieldBounds);
      context.setFont(3, 0, 0);
      context.setFontColour(kWhiteColour);
      context.drawString(text, kFieldBounds, false, 1);
    }
    raster::destroySurface(surface);
    return expected;
  }
  // The first pixel where the window differs from `expected`, or none.
  std::string firstDifference(const raster::Canvas& expected) {
    for (std::int32_t y = 0; y < expected.height(); ++y)
      for (std::int32_t x = 0; x < expected.width(); ++x)
        if (canvas().pixel(x, y) != expected.pixel(x, y))
          return "first difference at " + std::to_string(x) + "," + std::to_string(y);
    return "";
  }

  RecordingListener listener;
};

TEST_F(TextTest, ValueDisplayFormatsTwoDecimals) {
  auto* display = new ValueDisplay(kFieldBounds, nullptr, 0);
  frame()->addView(display);
  const std::pair<float, const char*> cases[] = {{0.5f, "0.50"}, {12.5f, "12.50"}};
  for (const auto& [value, text] : cases) {
    canvas().fill(Rect{0, 0, kWidth, kHeight}, 0x445566);
    display->setValue(value);
    frame()->paintNow(display);
    EXPECT_EQ(firstDifference(drawnByHand(text)), "") << text;
  }
}

TEST_F(TextTest, FormatterWithContextIsPreferred) {
  auto* display = new ValueDisplay(kFieldBounds, nullptr, 0);
  frame()->addView(display);
  static char word[] = "ctx";
  display->setFormatter([](float, char* text) { std::strcpy(text, "plain"); });
  display->setFormatterWithContext(
      [](float, char* text, void* context) { std::strcpy(text, static_cast<const char*>(context)); }, word);
  canvas().fill(Rect{0, 0, kWidth, kHeight}, 0x445566);
  frame()->paintNow(display);
  EXPECT_EQ(firstDifference(drawnByHand("ctx")), "");
}

TEST_F(TextTest, NothingDrawnWithStyle0x1000) {
  auto* display = new ValueDisplay(kFieldBounds, nullptr, kNoDrawStyle);
  EXPECT_FALSE(display->needsRedraw()) << "the constructor clears the redraw state";
  frame()->addView(display);
  canvas().fill(Rect{0, 0, kWidth, kHeight}, 0x445566);
  display->setValue(3.0f);
  frame()->redrawDirtyViews();  // before the first paint: nothing
  frame()->paintNow(display);
  EXPECT_EQ(firstDifference(raster::Canvas(kWidth, kHeight, 0x445566)), "");
  EXPECT_FALSE(display->needsRedraw());
}

TEST_F(TextTest, SettersMarkOnlyRealChanges) {
  auto* display = new ValueDisplay(kFieldBounds, nullptr, 0);
  frame()->addView(display);
  display->markRedraw(false);
  display->setTextColour(Colour{255, 255, 255, 9});  // only the spare byte differs
  display->setAlignment(1);
  display->setFontIndex(3);
  EXPECT_FALSE(display->needsRedraw());
  display->setBackColour(kRedColour);
  EXPECT_TRUE(display->needsRedraw());
}

TEST_F(TextTest, SetTextCutsTo255AndMarksOnlyChanges) {
  TextField* field = addField(nullptr);
  EXPECT_STREQ(field->getText(), "");
  field->markRedraw(false);
  std::string longText(300, 'x');
  field->setText(longText.c_str());
  EXPECT_EQ(std::strlen(field->getText()), 255u);
  EXPECT_TRUE(field->needsRedraw());
  field->markRedraw(false);
  field->setText(longText.c_str());
  EXPECT_FALSE(field->needsRedraw()) << "the same text, once cut, is no change";
  field->setText(nullptr);
  EXPECT_EQ(std::strlen(field->getText()), 255u);
  char out[256];
  field->copyText(out);
  EXPECT_EQ(std::string(out), std::string(255, 'x'));
}

TEST_F(TextTest, ClickOpensTheEntryOverTheField) {
  TextField* field = addField("abc", 0);
  field->setAlignment(2);
  headless::pressButton(window(), {30, 30});
  ASSERT_TRUE(field->isEditing());
  native::TextEntry* entry = headless::focusedTextEntry();
  ASSERT_EQ(entry, field->textEntry());
  EXPECT_EQ(headless::textEntryContent(entry), "abc");
  const native::TextEntryStyle* style = headless::textEntryStyle(entry);
  EXPECT_EQ(style->area, (Rect{20, 20, 81, 37})) << "one pixel wider and taller than the closed bounds";
  EXPECT_EQ(style->alignment, native::TextAlignment::right);
  EXPECT_EQ(frame()->focusedView(), field);
}

TEST_F(TextTest, EnterEndsEditingAndReportsOnce) {
  TextField* field = addField("abc");
  paintAll();
  headless::pressButton(window(), {30, 30});
  native::TextEntry* entry = headless::focusedTextEntry();
  headless::typeIntoTextEntry(entry, "new");
  headless::pressEnter(entry);
  EXPECT_FALSE(field->isEditing());
  EXPECT_STREQ(field->getText(), "new");
  EXPECT_EQ(listener.values.size(), 1u);
  EXPECT_EQ(headless::textEntryCount(), 0);
  EXPECT_EQ(frame()->focusedView(), nullptr);
  EXPECT_TRUE(headless::hasPendingPaint(window())) << "the uncovered area is painted again";

  field->endFocus(nullptr);
  EXPECT_EQ(listener.values.size(), 1u);
}

TEST_F(TextTest, SameContentReportsNothingButSendsLooseFocus) {
  TextField* field = addField("abc");
  auto* parent = new RecordingView(Rect{0, 0, 100, 50});
  frame()->addView(parent);
  parent->setMouseActive(false);
  field->setParentView(parent);
  headless::pressButton(window(), {30, 30});
  headless::typeIntoTextEntry(headless::focusedTextEntry(), "abc");
  headless::takeFocusFrom(headless::focusedTextEntry());
  EXPECT_FALSE(field->isEditing());
  EXPECT_TRUE(listener.values.empty());
  EXPECT_EQ(parent->notes, std::vector<std::string>{"LooseFocus"});
}

TEST_F(TextTest, PressElsewhereEndsEditing) {
  TextField* field = addField("abc");
  headless::pressButton(window(), {30, 30});
  headless::typeIntoTextEntry(headless::focusedTextEntry(), "xyz");
  headless::pressButton(window(), {150, 80});
  EXPECT_FALSE(field->isEditing());
  EXPECT_STREQ(field->getText(), "xyz");
  EXPECT_EQ(listener.values.size(), 1u);
}

TEST_F(TextTest, EditedTextKeepsAtMost254Characters) {
  TextField* field = addField("abc");
  headless::pressButton(window(), {30, 30});
  headless::typeIntoTextEntry(headless::focusedTextEntry(), std::string(300, 'y'));
  headless::pressEnter(headless::focusedTextEntry());
  EXPECT_EQ(std::strlen(field->getText()), 254u);
}

TEST_F(TextTest, DoubleClickStyleNeedsTwoPressesWithinAtLeast250Ms) {
  headless::setDoubleClickTime(100);  // raised to 250 by the field
  TextField* field = addField("abc", kDoubleClickStyle);
  EXPECT_EQ(field->getDoubleClickTime(), 250);

  headless::pressButton(window(), {30, 30});
  EXPECT_FALSE(field->isEditing()) << "a single press";
  headless::advanceTickCount(300);
  headless::pressButton(window(), {30, 30});
  EXPECT_FALSE(field->isEditing()) << "too late: a new first press";
  headless::advanceTickCount(200);
  headless::pressButton(window(), {30, 30});
  ASSERT_TRUE(field->isEditing()) << "200 ms is within 250";
  headless::pressEnter(headless::focusedTextEntry());

  headless::advanceTickCount(10);
  headless::pressButton(window(), {30, 30});
  EXPECT_FALSE(field->isEditing()) << "a press right after a double click starts a new one";
  headless::advanceTickCount(10);
  headless::pressButton(window(), {30, 30});
  EXPECT_TRUE(field->isEditing());
}

TEST_F(TextTest, MouseInactiveFieldOnlyDraws) {
  TextField* field = addField("abc");
  field->setMouseActive(false);
  headless::pressButton(window(), {30, 30});
  EXPECT_FALSE(field->isEditing());
  EXPECT_EQ(headless::textEntryCount(), 0);
}

}  // namespace
}  // namespace brume::testing
