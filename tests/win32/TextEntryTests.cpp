// The text entry as an "EDIT" window: its placement, style, font and
// selection, typing, Enter and focus loss, the colours the frame window
// hands it, and a TextField editing through it.

#include <cstdio>
#include <string>

#include "Win32TestSupport.h"
#include "gui/Control.h"
#include "gui/ControlListener.h"
#include "gui/Frame.h"
#include "gui/MouseButtons.h"
#include "gui/TextField.h"
#include "gui/native/win32/Win32Platform.h"

namespace brume::testing {
namespace {

class RecordingEntryClient : public native::TextEntryClient {
 public:
  void onEntryEnded() override { ++ended; }
  int ended = 0;
};

std::string windowText(HWND window) {
  char text[300] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void type(HWND window, const char* text) {
  for (const char* c = text; *c; ++c) SendMessageA(window, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

void pressEnter(HWND window) {
  SendMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageA(window, WM_CHAR, '\r', 1);
  SendMessageA(window, WM_KEYUP, VK_RETURN, 0xC0000001);
}

class TextEntryTest : public HostWindowTest {
 protected:
  void SetUp() override {
    HostWindowTest::SetUp();
    window = native::createWindow(host, 200, 100, &client);
    ASSERT_NE(window, nullptr);
    native::FontDescription description;
    description.height = -10;
    std::snprintf(description.face, sizeof description.face, "Arial");
    font = native::createFont(description);
    brush = native::createBrush(kBlueColour);
    style.area = Rect{10, 20, 60, 35};
    style.alignment = native::TextAlignment::right;
    style.font = font;
    style.textColour = kRedColour;
    style.backColour = kBlueColour;
    style.backBrush = brush;
  }
  void TearDown() override {
    native::destroyWindow(window);
    native::deleteFont(font);
    native::deleteBrush(brush);
    HostWindowTest::TearDown();
  }

  RecordingClient client;
  native::Window* window = nullptr;
  native::Font* font = nullptr;
  native::Brush* brush = nullptr;
  native::TextEntryStyle style;
  RecordingEntryClient entryClient;
};

TEST_F(TextEntryTest, EditWindowSitsOverTheAreaWithItsStyleFontAndWholeSelection) {
  native::TextEntry* entry = native::createTextEntry(window, style, "12.5", &entryClient);
  ASSERT_NE(entry, nullptr);
  HWND edit = win32::textEntryHandle(entry);
  char className[16] = "";
  GetClassNameA(edit, className, sizeof className);
  EXPECT_STREQ(className, "Edit");
  EXPECT_EQ(GetParent(edit), win32::windowHandle(window));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(edit, GWL_STYLE)) &
                (WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_RIGHT | ES_CENTER | ES_MULTILINE),
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_RIGHT));
  RECT rect{};
  GetWindowRect(edit, &rect);
  MapWindowPoints(nullptr, win32::windowHandle(window), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right - rect.left, 50);
  EXPECT_EQ(rect.bottom - rect.top, 15);
  EXPECT_EQ(windowText(edit), "12.5");
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)), reinterpret_cast<HFONT>(font));
  EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), 0) << "margins left in the edit window";
  DWORD start = 99;
  DWORD end = 99;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(entryClient.ended, 0);
  native::destroyTextEntry(entry);
}

TEST_F(TextEntryTest, AlignmentChoosesTheEditStyle) {
  const native::TextAlignment alignments[] = {native::TextAlignment::left, native::TextAlignment::centre,
                                              native::TextAlignment::right};
  const DWORD expected[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
  for (int i = 0; i < 3; ++i) {
    style.alignment = alignments[i];
    native::TextEntry* entry = native::createTextEntry(window, style, "", &entryClient);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(win32::textEntryHandle(entry), GWL_STYLE)) & (ES_CENTER | ES_RIGHT),
              expected[i])
        << "alignment " << i;
    native::destroyTextEntry(entry);
  }
}

TEST_F(TextEntryTest, TypingReplacesTheSelectionAndEnterEndsTheEntry) {
  native::TextEntry* entry = native::createTextEntry(window, style, "old text", &entryClient);
  HWND edit = win32::textEntryHandle(entry);
  type(edit, "new");
  EXPECT_EQ(windowText(edit), "new");
  EXPECT_EQ(entryClient.ended, 0) << "typing ended the entry";
  pressEnter(edit);
  EXPECT_EQ(entryClient.ended, 1);
  char text[16];
  EXPECT_EQ(native::copyTextEntryText(entry, text, sizeof text), 3);
  EXPECT_STREQ(text, "new");
  char tiny[3];
  EXPECT_EQ(native::copyTextEntryText(entry, tiny, sizeof tiny), 2);
  EXPECT_STREQ(tiny, "ne");

  // Destroying a focused entry takes the focus away: that end is reported too.
  ASSERT_EQ(GetFocus(), edit);
  native::destroyTextEntry(entry);
  EXPECT_EQ(entryClient.ended, 2);
  EXPECT_FALSE(IsWindow(edit));
}

TEST_F(TextEntryTest, LosingTheFocusEndsTheEntry) {
  native::TextEntry* entry = native::createTextEntry(window, style, "x", &entryClient);
  SetFocus(host);
  EXPECT_EQ(entryClient.ended, 1);
  native::destroyTextEntry(entry);
  EXPECT_EQ(entryClient.ended, 1) << "an entry without the focus reported its end again";
}

TEST_F(TextEntryTest, FrameWindowAnswersTheEditColours) {
  native::TextEntry* entry = native::createTextEntry(window, style, "x", &entryClient);
  HDC dc = CreateCompatibleDC(nullptr);
  LRESULT answer = SendMessageA(win32::windowHandle(window), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(win32::textEntryHandle(entry)));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(answer), reinterpret_cast<HBRUSH>(brush));
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 255));

  // An edit window that is not an entry gets the system's default colours.
  HWND stranger = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, win32::windowHandle(window), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  SetTextColor(dc, RGB(1, 2, 3));
  answer = SendMessageA(win32::windowHandle(window), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(stranger));
  EXPECT_NE(reinterpret_cast<HBRUSH>(answer), reinterpret_cast<HBRUSH>(brush));
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
  DestroyWindow(stranger);
  DeleteDC(dc);
  native::destroyTextEntry(entry);
}

class RecordingListener : public ControlListener {
 public:
  void onControlChanged(DrawContext* context, Control* control) override {
    ++changes;
    hadContext = context != nullptr;
    lastText = static_cast<TextField*>(control)->getText();
  }
  int changes = 0;
  bool hadContext = false;
  std::string lastText;
};

class FieldNotes : public View {
 public:
  FieldNotes() : View(Rect{}) {}
  void onNotify(View*, const char* message) override { notes.push_back(message); }
  std::vector<std::string> notes;
};

class TextFieldEditTest : public HostWindowTest {
 protected:
  void SetUp() override {
    HostWindowTest::SetUp();
    frame = new Frame(Rect{0, 0, 300, 120}, host, nullptr);
    field = new TextField(Rect{50, 40, 110, 55}, &listener, 60, "Basic", nullptr, 0);
    frame->addView(field);
    field->setParentView(&notes);
    UpdateWindow(win32::windowHandle(frame->nativeWindow()));
  }
  void TearDown() override {
    delete frame;
    HostWindowTest::TearDown();
  }
  void beginEditing() {
    frame->setFocusedView(field);
    field->beginFocus(nullptr);
  }
  HWND edit() const { return win32::textEntryHandle(field->textEntry()); }

  Frame* frame = nullptr;
  TextField* field = nullptr;
  RecordingListener listener;
  FieldNotes notes;
};

TEST_F(TextFieldEditTest, EnterTakesTheTypedTextBackAndReportsOnce) {
  beginEditing();
  ASSERT_TRUE(field->isEditing());
  HWND editWindow = edit();
  EXPECT_EQ(windowText(editWindow), "Basic");
  RECT rect{};
  GetWindowRect(editWindow, &rect);
  // The entry covers the field's bounds with their right and bottom edges.
  EXPECT_EQ(rect.right - rect.left, 61);
  EXPECT_EQ(rect.bottom - rect.top, 16);

  type(editWindow, "Pad & Lead");
  pressEnter(editWindow);
  EXPECT_FALSE(field->isEditing());
  EXPECT_FALSE(IsWindow(editWindow));
  EXPECT_STREQ(field->getText(), "Pad & Lead");
  EXPECT_EQ(listener.changes, 1);
  EXPECT_TRUE(listener.hadContext) << "the listener got no drawing context";
  EXPECT_EQ(listener.lastText, "Pad & Lead");
  EXPECT_EQ(frame->focusedView(), nullptr);
  ASSERT_EQ(notes.notes.size(), 1u);
  EXPECT_EQ(notes.notes[0], "LooseFocus");

  // Ending again finds nothing to end.
  field->endFocus(nullptr);
  EXPECT_EQ(listener.changes, 1);
  EXPECT_EQ(notes.notes.size(), 1u);
}

TEST_F(TextFieldEditTest, FocusLossEndsEditingAndTheSameTextIsNoChange) {
  beginEditing();
  SetFocus(host);
  EXPECT_FALSE(field->isEditing());
  EXPECT_STREQ(field->getText(), "Basic");
  EXPECT_EQ(listener.changes, 0);
  ASSERT_EQ(notes.notes.size(), 1u);
  EXPECT_EQ(notes.notes[0], "LooseFocus");
}

TEST_F(TextFieldEditTest, ClosingTheFrameWhileEditingEndsTheEntry) {
  beginEditing();
  HWND editWindow = edit();
  type(editWindow, "Gone");
  delete frame;
  frame = nullptr;
  EXPECT_FALSE(IsWindow(editWindow));
  EXPECT_EQ(listener.changes, 1);
  frame = new Frame(Rect{0, 0, 300, 120}, host, nullptr);  // for TearDown
}

TEST_F(TextFieldEditTest, ARealClickOpensTheEntry) {
  POINT screen{80, 47};
  ClientToScreen(win32::windowHandle(frame->nativeWindow()), &screen);
  SetCursorPos(screen.x, screen.y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &input, sizeof input);
  // The press arrives as WM_LBUTTONDOWN while the button is still held.
  pumpUntil([&] { return field->isEditing(); }, 2000);
  input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
  pumpMessages();
  ASSERT_TRUE(field->isEditing()) << "the click did not start editing";
  EXPECT_EQ(GetFocus(), edit());
  type(edit(), "Clicked");
  pressEnter(edit());
  EXPECT_STREQ(field->getText(), "Clicked");
  EXPECT_EQ(listener.changes, 1);
}

}  // namespace
}  // namespace brume::testing
