// The frame's child window under Wine: class registration, the window itself,
// painting into real pixels, button presses, paint dispatch, destruction by
// the host, the mouse and key poll, and the per-thread OLE set-up.

#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string>

#include "Win32TestSupport.h"
#include "gui/Bitmap.h"
#include "gui/FilmstripKnob.h"
#include "gui/Frame.h"
#include "gui/MouseButtons.h"
#include "gui/TextField.h"
#include "gui/native/win32/Win32Platform.h"
#include "host/ModuleHandle.h"

namespace brume::testing {
namespace {

constexpr Rect kEditorBounds{0, 0, 650, 200};

std::string expectedClassName() {
  char name[32];
  std::snprintf(name, sizeof name, "Plugin%08x",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))));
  return name;
}

bool classRegistered(const std::string& name, WNDCLASSEXA* out = nullptr) {
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  bool found = GetClassInfoExA(GetModuleHandleA(nullptr), name.c_str(), &info) != 0;
  if (out) *out = info;
  return found;
}

HWND frameWindow(const Frame& frame) { return win32::windowHandle(frame.nativeWindow()); }

using WindowClassTest = HostWindowTest;

TEST_F(WindowClassTest, NameComesFromTheModuleHandleAndTwoFramesShareOneRegistration) {
  const std::string name = expectedClassName();
  ASSERT_EQ(name.size(), 14u);
  ASSERT_FALSE(classRegistered(name)) << "registered before any frame";

  auto* first = new Frame(kEditorBounds, host, nullptr);
  ASSERT_NE(frameWindow(*first), nullptr);
  EXPECT_EQ(std::string(win32::frameWindowClassName()), name);
  char className[64] = "";
  GetClassNameA(frameWindow(*first), className, sizeof className);
  EXPECT_EQ(std::string(className), name);

  WNDCLASSEXA info{};
  ASSERT_TRUE(classRegistered(name, &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_GLOBALCLASS));
  EXPECT_EQ(info.cbClsExtra, 0);
  EXPECT_EQ(info.cbWndExtra, 0);
  EXPECT_EQ(info.hInstance, GetModuleHandleA(nullptr));
  EXPECT_EQ(info.hIcon, nullptr);
  EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
  EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
  EXPECT_EQ(info.lpszMenuName, nullptr);

  auto* second = new Frame(kEditorBounds, host, nullptr);
  EXPECT_EQ(win32::frameWindowClassUseCount(), 2);
  delete first;
  EXPECT_TRUE(classRegistered(name)) << "unregistered while the second frame still has its window";
  EXPECT_EQ(win32::frameWindowClassUseCount(), 1);
  delete second;
  EXPECT_FALSE(classRegistered(name)) << "still registered after the last frame went";
  EXPECT_EQ(win32::frameWindowClassUseCount(), 0);

  auto* third = new Frame(kEditorBounds, host, nullptr);
  EXPECT_TRUE(classRegistered(name)) << "a later frame registers the class again";
  delete third;
  EXPECT_FALSE(classRegistered(name));
}

TEST_F(WindowClassTest, AFrameWithoutParentMakesNoWindow) {
  auto* frame = new Frame(kEditorBounds, nullptr, nullptr);
  EXPECT_EQ(frame->nativeWindow(), nullptr);
  EXPECT_EQ(win32::frameWindowClassUseCount(), 0);
  EXPECT_FALSE(frame->isDropRegistered());
  delete frame;
}

using FrameWindowTest = HostWindowTest;

TEST_F(FrameWindowTest, ChildWindowHasTheFrameSizeTitleStyleAndClient) {
  auto* frame = new Frame(kEditorBounds, host, nullptr);
  HWND window = frameWindow(*frame);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), host);
  char title[32] = "";
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Window");
  LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_POPUP), WS_CHILD | WS_VISIBLE);
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 650);
  EXPECT_EQ(client.bottom, 200);
  POINT origin{0, 0};
  MapWindowPoints(window, host, &origin, 1);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  EXPECT_NE(GetWindowLongPtrA(window, GWLP_USERDATA), 0);
  // The host window sits at 20,30 without a border, so the frame window does too.
  EXPECT_EQ(native::windowScreenOrigin(frame->nativeWindow()), (Point{20, 30}));

  delete frame;
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(FrameWindowTest, PaintShowsTheBackgroundAndKeyedKnobInTheWindowPixels) {
  const PixelImage background = resourcePixels(101);
  const PixelImage strip = resourcePixels(104);
  ASSERT_EQ(background.width, 650);
  ASSERT_EQ(background.height, 200);
  ASSERT_EQ(strip.width, 32);

  auto* frame = new Frame(kEditorBounds, host, nullptr);
  auto* backgroundBitmap = new Bitmap(101);
  auto* stripBitmap = new Bitmap(104);
  stripBitmap->setTransparentColour(kYellowColour);
  frame->setBackground(backgroundBitmap);
  // A knob as the editor places one, and a caption over the background.
  const Point centre{475, 174};
  const Rect knobBounds{centre.x - 16, centre.y - 16, centre.x + 16, centre.y + 16};
  auto* knob = new FilmstripKnob(knobBounds, nullptr, 49, 55, 32, stripBitmap, knobBounds.topLeft());
  knob->setTransparent(true);
  knob->setValue(0.5f);
  frame->addView(knob);
  const Rect captionBounds{100 - 21, 60 - 20, 100 + 21, 60 - 10};
  auto* caption = new TextField(captionBounds, nullptr, 54, "Cutoff", backgroundBitmap, 0);
  caption->setFontIndex(5);
  caption->setTextColour(kBlackColour);
  caption->setBackgroundOffset(captionBounds.topLeft());
  frame->addView(caption);

  HWND window = frameWindow(*frame);
  ASSERT_TRUE(frame->isFirstPaintPending());
  UpdateWindow(window);
  EXPECT_FALSE(frame->isFirstPaintPending()) << "no WM_PAINT reached the frame";

  // Value 0.5 of 55 frames of 32 pixels: pixel row trunc(0.5 * 54 * 32) = 864 = frame 27.
  const std::int32_t stripTop = 864;
  ASSERT_EQ(knob->stripOffset(), stripTop);
  PixelImage expected = background;
  int yellowPixels = 0;
  for (std::int32_t y = 0; y < 32; ++y)
    for (std::int32_t x = 0; x < 32; ++x) {
      Pixel pixel = strip.at(x, stripTop + y);
      if (pixel == kYellowPixel)
        ++yellowPixels;
      else
        expected.pixels[static_cast<std::size_t>(knobBounds.top + y) * 650 + knobBounds.left + x] = pixel;
    }
  ASSERT_GT(yellowPixels, 0) << "the knob image has no yellow ground to leave out";
  ASSERT_LT(yellowPixels, 32 * 32);

  // Text pixels depend on the font rasteriser: the caption's box is compared
  // only for having ink, everything else exactly.
  auto maskCaption = [&](PixelImage image, int& inked) {
    inked = 0;
    for (std::int32_t y = captionBounds.top; y < captionBounds.bottom; ++y)
      for (std::int32_t x = captionBounds.left; x < captionBounds.right; ++x) {
        Pixel& pixel = image.pixels[static_cast<std::size_t>(y) * 650 + x];
        if (pixel != background.at(x, y)) ++inked;
        pixel = 0;
      }
    return image;
  };
  int expectedInk;
  const PixelImage expectedMasked = maskCaption(expected, expectedInk);
  int paintedInk;
  int printedInk;
  const PixelImage painted = maskCaption(windowPixels(window), paintedInk);
  const PixelImage printed = maskCaption(printWindow(window), printedInk);
  EXPECT_EQ(firstDifference(painted, expectedMasked), "") << "window pixels after WM_PAINT";
  EXPECT_EQ(firstDifference(printed, expectedMasked), "") << "PrintWindow capture";
  EXPECT_GT(paintedInk, 0) << "the caption drew no text";
  EXPECT_EQ(printedInk, paintedInk);

  backgroundBitmap->release();
  stripBitmap->release();
  delete frame;
}

TEST_F(FrameWindowTest, ButtonPressesReachTheClientAsUnsignedPositions) {
  RecordingClient client;
  native::Window* window = native::createWindow(host, 200, 100, &client);
  ASSERT_NE(window, nullptr);
  HWND handle = win32::windowHandle(window);

  SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
  PostMessageA(handle, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 5));
  PostMessageA(handle, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(199, 99));
  pumpMessages();
  // Releases and moves are left to the pressed control's own polling.
  SendMessageA(handle, WM_LBUTTONUP, 0, MAKELPARAM(12, 34));
  SendMessageA(handle, WM_MOUSEMOVE, 0, MAKELPARAM(13, 35));
  SendMessageA(handle, WM_LBUTTONDBLCLK, 0, MAKELPARAM(13, 35));
  // A position word with the high bits set reads as large positive numbers.
  SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, static_cast<LPARAM>(0xFFFE0010u));

  ASSERT_EQ(client.presses.size(), 4u);
  EXPECT_EQ(client.presses[0], (Point{12, 34}));
  EXPECT_EQ(client.presses[1], (Point{40, 5}));
  EXPECT_EQ(client.presses[2], (Point{199, 99}));
  EXPECT_EQ(client.presses[3], (Point{16, 65534}));
  native::destroyWindow(window);
}

TEST_F(FrameWindowTest, SimulatedClickReachesTheViewUnderIt) {
  auto* frame = new Frame(kEditorBounds, host, nullptr);
  auto* below = new RecordingView({10, 10, 50, 50});
  auto* above = new RecordingView({30, 30, 70, 70});
  frame->addView(below);
  frame->addView(above);
  HWND window = frameWindow(*frame);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 45));
  PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 50));
  pumpMessages();
  ASSERT_EQ(above->presses.size(), 1u);
  EXPECT_EQ(above->presses[0], (Point{40, 45}));
  ASSERT_EQ(below->presses.size(), 1u);
  EXPECT_EQ(below->presses[0], (Point{20, 50}));
  delete frame;
}

TEST_F(FrameWindowTest, PaintsComeOnlyForANonEmptyUpdateRegionAndOnePerDispatch) {
  RecordingClient client;
  native::Window* window = native::createWindow(host, 200, 100, &client);
  HWND handle = win32::windowHandle(window);
  UpdateWindow(host);
  UpdateWindow(handle);
  ASSERT_EQ(client.paints.size(), 1u);
  EXPECT_EQ(client.paints[0], (Rect{0, 0, 200, 100}));
  pumpMessages();
  client.paints.clear();

  EXPECT_FALSE(native::dispatchPendingPaint()) << "nothing was invalid";
  SendMessageA(handle, WM_PAINT, 0, 0);
  EXPECT_TRUE(client.paints.empty()) << "WM_PAINT without an update region painted";

  RECT invalid{5, 6, 20, 30};
  InvalidateRect(handle, &invalid, FALSE);
  EXPECT_TRUE(native::dispatchPendingPaint());
  ASSERT_EQ(client.paints.size(), 1u);
  EXPECT_EQ(client.paints[0], (Rect{5, 6, 20, 30}));
  EXPECT_FALSE(native::dispatchPendingPaint());
  native::destroyWindow(window);
}

TEST_F(FrameWindowTest, DestroyingTheHostTellsTheClientButClosingDoesNot) {
  RecordingClient closed;
  native::Window* first = native::createWindow(host, 200, 100, &closed);
  HWND firstHandle = win32::windowHandle(first);
  native::destroyWindow(first);
  EXPECT_FALSE(IsWindow(firstHandle));
  EXPECT_EQ(closed.destroyed, 0) << "the client heard of a destruction it asked for";

  RecordingClient orphaned;
  native::Window* second = native::createWindow(host, 200, 100, &orphaned);
  HWND secondHandle = win32::windowHandle(second);
  DestroyWindow(host);
  host = nullptr;
  EXPECT_FALSE(IsWindow(secondHandle));
  EXPECT_EQ(orphaned.destroyed, 1);
  EXPECT_EQ(win32::frameWindowClassUseCount(), 1);
  // Closing afterwards still balances the class count.
  native::destroyWindow(second);
  EXPECT_EQ(win32::frameWindowClassUseCount(), 0);
  EXPECT_FALSE(classRegistered(expectedClassName()));
}

TEST_F(FrameWindowTest, FrameForgetsItsWindowWhenTheHostDestroysIt) {
  auto* frame = new Frame(kEditorBounds, host, nullptr);
  ASSERT_TRUE(frame->isOpen());
  DestroyWindow(host);
  host = nullptr;
  EXPECT_FALSE(frame->isOpen());
  EXPECT_EQ(frame->parentWindowHandle(), nullptr);
  frame->redrawDirtyViews();  // nothing to draw on, and no crash
  delete frame;
}

TEST_F(FrameWindowTest, AfterCloseAPendingPaintReachesNobody) {
  RecordingClient client;
  native::Window* window = native::createWindow(host, 200, 100, &client);
  HWND handle = win32::windowHandle(window);
  UpdateWindow(handle);
  client.paints.clear();
  InvalidateRect(handle, nullptr, FALSE);
  // What destroyWindow does first: the window keeps no client.
  SetWindowLongPtrA(handle, GWLP_USERDATA, 0);
  SendMessageA(handle, WM_PAINT, 0, 0);
  SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  EXPECT_TRUE(client.paints.empty());
  EXPECT_TRUE(client.presses.empty());
  native::destroyWindow(window);
}

using InputTest = HostWindowTest;

void sendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

void sendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

TEST_F(InputTest, CursorAndButtonsFollowTheSystemInput) {
  SetCursorPos(321, 123);
  EXPECT_EQ(native::cursorScreenPosition(), (Point{321, 123}));

  ASSERT_EQ(native::mouseButtons(), 0) << "a button or key is already down";
  sendMouse(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(native::mouseButtons(), kLeftButton);
  sendMouse(MOUSEEVENTF_RIGHTDOWN);
  EXPECT_EQ(native::mouseButtons(), kLeftButton | kRightButton);
  sendMouse(MOUSEEVENTF_MIDDLEDOWN);
  EXPECT_EQ(native::mouseButtons(), kLeftButton | kRightButton | kMiddleButton);
  sendMouse(MOUSEEVENTF_LEFTUP);
  sendMouse(MOUSEEVENTF_RIGHTUP);
  sendMouse(MOUSEEVENTF_MIDDLEUP);
  EXPECT_EQ(native::mouseButtons(), 0);

  sendKey(VK_SHIFT, false);
  EXPECT_EQ(native::mouseButtons(), kShiftKey);
  sendKey(VK_CONTROL, false);
  EXPECT_EQ(native::mouseButtons(), kShiftKey | kControlKey);
  sendKey(VK_MENU, false);
  EXPECT_EQ(native::mouseButtons(), kShiftKey | kControlKey | kAltKey);
  sendKey(VK_MENU, true);
  sendKey(VK_CONTROL, true);
  sendKey(VK_SHIFT, true);
  EXPECT_EQ(native::mouseButtons(), 0);
  pumpMessages();
}

TEST(PlatformTime, ClockAndDoubleClickTimeAreTheSystemOnes) {
  EXPECT_EQ(native::doubleClickTime(), GetDoubleClickTime());
  DWORD before = GetTickCount();
  std::uint32_t now = native::tickCount();
  DWORD after = GetTickCount();
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
}

// CoInitializeEx for the multithreaded apartment fails exactly while the
// thread is in a single-threaded one.
bool inSingleThreadedApartment() {
  HRESULT answer = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (SUCCEEDED(answer)) CoUninitialize();
  return answer == RPC_E_CHANGED_MODE;
}

DWORD WINAPI nestedInitialisation(void* result) {
  auto& steps = *static_cast<std::string*>(result);
  native::initThread();
  native::initThread();
  steps += inSingleThreadedApartment() ? "S" : "-";
  native::uninitThread();
  steps += inSingleThreadedApartment() ? "S" : "-";
  native::uninitThread();
  steps += inSingleThreadedApartment() ? "S" : "-";
  native::uninitThread();  // one too many does nothing
  steps += inSingleThreadedApartment() ? "S" : "-";
  return 0;
}

DWORD WINAPI initialisationInAMultithreadedThread(void* result) {
  auto& steps = *static_cast<std::string*>(result);
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  native::initThread();  // fails: the thread chose its apartment already
  native::uninitThread();
  // The thread's own initialisation must still stand.
  HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  steps += again == S_FALSE ? "kept" : "lost";
  if (SUCCEEDED(again)) CoUninitialize();
  CoUninitialize();
  return 0;
}

// Runs `work` on a thread of its own and waits for it. The thread then stays
// parked until the program ends: 32-bit Wine under the i386 emulator crashes
// in later shell-link calls (the shortcut tests) once any thread has exited.
struct ParkedJob {
  LPTHREAD_START_ROUTINE work;
  std::string* result;
  HANDLE done;
};

HANDLE neverSet() {
  static HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return event;
}

DWORD WINAPI parkedThread(void* argument) {
  auto* job = static_cast<ParkedJob*>(argument);
  job->work(job->result);
  SetEvent(job->done);
  WaitForSingleObject(neverSet(), INFINITE);
  return 0;
}

void runOnParkedThread(LPTHREAD_START_ROUTINE work, std::string& result) {
  ParkedJob job{work, &result, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  neverSet();
  HANDLE thread = CreateThread(nullptr, 0, parkedThread, &job, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(job.done, INFINITE);
  CloseHandle(job.done);
  CloseHandle(thread);
}

TEST(PlatformThreads, OleSetUpNestsAndBalances) {
  std::string steps;
  runOnParkedThread(nestedInitialisation, steps);
  EXPECT_EQ(steps, "SS--");

  std::string multithreaded;
  runOnParkedThread(initialisationInAMultithreadedThread, multithreaded);
  EXPECT_EQ(multithreaded, "kept");
}

}  // namespace
}  // namespace brume::testing
