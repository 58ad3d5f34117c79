// BRM7.dll's editor in a Windows test host of its own: the DLL is loaded with
// LoadLibraryA and called through `main` with a recording host callback; its
// editor opens in the test's top-level window. The window's pixels are
// checked against the DLL's bitmaps (and written as a 24-bit BMP for the
// native comparison), and a mouse drag injected as system input turns a knob.
//
// Options after GoogleTest's own: --plugin PATH (default: the built DLL),
// --snapshot PATH (writes the editor's pixels there).

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/HostRecords.h"
#include "instrument/ParameterCatalogue.h"
#include "BuildPaths.h"

namespace brume::testing {
namespace {

// Dispatcher opcodes the test uses.
constexpr VstInt32 kEditorRect = 13;
constexpr VstInt32 kEditorOpen = 14;
constexpr VstInt32 kEditorClose = 15;
constexpr VstInt32 kEditorIdle = 19;
constexpr VstInt32 kSetKnobMode = 61;
constexpr VstInt32 kClose = 1;
constexpr VstInt32 kLinearKnobs = 2;

constexpr int kWidth = 650;
constexpr int kHeight = 200;
constexpr POINT kHostOrigin{40, 50};

std::string pluginPath = BRUME7_PLUGIN_PATH;
std::string snapshotPath;

using Pixel = std::uint32_t;  // 0x00RRGGBB
constexpr Pixel kYellow = 0xFFFF00;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;
  Pixel at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Everything the plug-in asked of the host, from any thread.
struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  float opt;
};
std::mutex hostCallsLock;
std::vector<HostCall> hostCalls;
std::atomic<bool> editBegun{false};
std::atomic<bool> editEnded{false};

VstIntPtr BRUME_VSTCALL recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
  {
    std::lock_guard<std::mutex> guard(hostCallsLock);
    hostCalls.push_back({opcode, index, opt});
  }
  if (opcode == kHostBeginEdit) editBegun = true;
  if (opcode == kHostEndEdit) editEnded = true;
  switch (opcode) {
    case kHostVersion:
      return 2400;
    case kHostTempoAt:
      return 1200000;  // 120 beats per minute
    case kHostWantMidi:
      return 1;
    default:
      return 0;
  }
}

std::vector<HostCall> callsSoFar() {
  std::lock_guard<std::mutex> guard(hostCallsLock);
  return hostCalls;
}

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// A top-down 32-bit DIB selected into a memory device context.
class Dib {
 public:
  Dib(int width, int height) : width(width), height(height), dc(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = SelectObject(dc, bitmap);
  }
  ~Dib() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Image image() const {
    GdiFlush();
    Image result{width, height, {}};
    const auto* source = static_cast<const Pixel*>(bits);
    result.pixels.assign(source, source + static_cast<std::size_t>(width) * height);
    for (Pixel& pixel : result.pixels) pixel &= 0xFFFFFF;
    return result;
  }
  int width;
  int height;
  HDC dc;

 private:
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  void* bits = nullptr;
};

Image bitmapResource(HMODULE module, int id) {
  HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
  if (!bitmap) return {};
  BITMAP description{};
  GetObjectA(bitmap, sizeof description, &description);
  Dib dib(description.bmWidth, description.bmHeight);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(source, bitmap);
  BitBlt(dib.dc, 0, 0, dib.width, dib.height, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(bitmap);
  return dib.image();
}

Image printWindow(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  Dib dib(client.right, client.bottom);
  PrintWindow(window, dib.dc, PW_CLIENTONLY);
  return dib.image();
}

bool writeBmp(const Image& image, const std::string& path) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
  const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(image.height);
  std::vector<std::uint8_t> file(54 + dataSize, 0);
  auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(image.width));
  put32(22, static_cast<std::uint32_t>(image.height));
  file[26] = 1;
  file[28] = 24;
  put32(34, dataSize);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      Pixel pixel = image.at(x, y);
      std::size_t at = 54 + stride * static_cast<std::size_t>(image.height - 1 - y) + static_cast<std::size_t>(x) * 3;
      file[at] = static_cast<std::uint8_t>(pixel);
      file[at + 1] = static_cast<std::uint8_t>(pixel >> 8);
      file[at + 2] = static_cast<std::uint8_t>(pixel >> 16);
    }
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

// The plug-in loaded, one instance made and a host window to open its editor in.
class EditorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      std::lock_guard<std::mutex> guard(hostCallsLock);
      hostCalls.clear();
    }
    editBegun = false;
    editEnded = false;
    module = LoadLibraryA(pluginPath.c_str());
    ASSERT_NE(module, nullptr) << "cannot load " << pluginPath;
    void* address = reinterpret_cast<void*>(GetProcAddress(module, "main"));
    auto entry = reinterpret_cast<AEffect*(BRUME_VSTCALL*)(audioMasterCallback)>(address);
    ASSERT_NE(entry, nullptr) << "no export named main";
    effect = entry(recordingHost);
    ASSERT_NE(effect, nullptr);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = hostProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = "Brume7EditorTestHost";
    RegisterClassA(&windowClass);
    host = CreateWindowExA(0, "Brume7EditorTestHost", "Brume7 editor test host", WS_POPUP | WS_VISIBLE, kHostOrigin.x,
                           kHostOrigin.y, kWidth, kHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    SetForegroundWindow(host);
    UpdateWindow(host);
    pumpMessages();
  }
  void TearDown() override {
    if (effect) {
      if (opened) dispatch(kEditorClose);
      dispatch(kClose);
    }
    if (host) DestroyWindow(host);
    pumpMessages();
    if (module) FreeLibrary(module);
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
  }
  // Opens the editor, lets the host window paint it and idles once, as a host does.
  HWND openAndSettle() {
    EXPECT_EQ(dispatch(kEditorOpen, 0, 0, host), 1);
    opened = true;
    HWND editor = GetWindow(host, GW_CHILD);
    UpdateWindow(host);
    pumpMessages();
    dispatch(kEditorIdle);
    pumpMessages();
    return editor;
  }
  std::string className() const {
    char name[32];
    std::snprintf(name, sizeof name, "Plugin%08x", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(module)));
    return name;
  }

  HMODULE module = nullptr;
  AEffect* effect = nullptr;
  HWND host = nullptr;
  bool opened = false;
};

TEST_F(EditorWindowTest, OpensAsAChildOfItsClassAndClosesAgain) {
  EXPECT_EQ(effect->flags & kFlagHasEditor, kFlagHasEditor);
  ERect* rect = nullptr;
  ASSERT_EQ(dispatch(kEditorRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, kHeight);
  EXPECT_EQ(rect->right, kWidth);

  HWND editor = openAndSettle();
  ASSERT_NE(editor, nullptr) << "the editor made no child window";
  char name[64] = "";
  GetClassNameA(editor, name, sizeof name);
  EXPECT_EQ(className(), name);
  RECT client{};
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right, kWidth);
  EXPECT_EQ(client.bottom, kHeight);

  dispatch(kEditorClose);
  opened = false;
  EXPECT_FALSE(IsWindow(editor));
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  EXPECT_FALSE(GetClassInfoExA(module, className().c_str(), &info)) << "the class outlived the editor";

  // Idle and paint requests after the close reach nothing.
  dispatch(kEditorIdle);
  InvalidateRect(host, nullptr, TRUE);
  UpdateWindow(host);
  pumpMessages();
  EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr);

  // A second open makes a fresh window of the class again.
  HWND again = openAndSettle();
  ASSERT_NE(again, nullptr);
  GetClassNameA(again, name, sizeof name);
  EXPECT_EQ(className(), name);
}

// The strip frame a FilmstripKnob with 55 frames of 32 pixels shows for `value`.
int knobStripTop(float value) {
  const int span = 54 * 32;
  if (!(value >= 0.0f)) return 0;
  const int y = static_cast<int>(value * static_cast<float>(span));
  return y < span ? y - y % 32 : y;
}

TEST_F(EditorWindowTest, SnapshotShowsTheBitmapsOfTheControlsOnTheBackground) {
  HWND editor = openAndSettle();
  ASSERT_NE(editor, nullptr);
  const Image shot = printWindow(editor);
  if (!snapshotPath.empty()) {
    EXPECT_TRUE(writeBmp(shot, snapshotPath)) << "cannot write " << snapshotPath;
  }
  ASSERT_EQ(shot.width, kWidth);
  ASSERT_EQ(shot.height, kHeight);

  const Image background = bitmapResource(module, 101);
  const Image meter = bitmapResource(module, 110);
  Image strips[4];
  for (int kind = 0; kind < 4; ++kind) strips[kind] = bitmapResource(module, 104 + kind);
  const Image switches = bitmapResource(module, 109);
  ASSERT_EQ(background.width, kWidth);

  // Expected: the background, each control keyed on it at its value, the
  // meter at 0 voices; text boxes are left out (their glyphs are the font
  // rasteriser's), and so is anything a text box covers.
  Image expected = background;
  std::vector<bool> compared(static_cast<std::size_t>(kWidth) * kHeight, true);
  for (int i = 0; i < kParameterCount; ++i) {
    const ParameterLayoutRow& row = ParameterLayout[i];
    const float value = effect->getParameter(effect, i);
    const bool knob = row.controlKind >= 0 && row.controlKind < 4;
    const int halfWidth = knob ? 16 : 18;
    const int halfHeight = knob ? 16 : 12;
    const Image& source = knob ? strips[row.controlKind] : switches;
    const int sourceTop = knob ? knobStripTop(value) : (value > 0.5f ? switches.height / 2 : 0);
    for (int y = 0; y < 2 * halfHeight; ++y)
      for (int x = 0; x < 2 * halfWidth; ++x) {
        Pixel pixel = source.at(x, sourceTop + y);
        if (pixel != kYellow)
          expected.pixels[static_cast<std::size_t>(row.y - halfHeight + y) * kWidth + row.x - halfWidth + x] = pixel;
      }
    auto leaveOut = [&](int left, int top, int right, int bottom) {
      for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) compared[static_cast<std::size_t>(y) * kWidth + x] = false;
    };
    if (row.hasCaption) leaveOut(row.x - 21, row.y - 20, row.x + 21, row.y - 10);
    if (row.hasValueText) leaveOut(row.x - 21, row.y + 11, row.x + 21, row.y + 20);
  }
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) expected.pixels[static_cast<std::size_t>(y) * kWidth + 150 + x] = meter.at(x, y);

  int differing = 0;
  int firstX = -1;
  int firstY = -1;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (compared[static_cast<std::size_t>(y) * kWidth + x] && shot.at(x, y) != expected.at(x, y)) {
        if (differing++ == 0) {
          firstX = x;
          firstY = y;
        }
      }
  EXPECT_EQ(differing, 0) << "first at " << firstX << "," << firstY << ": " << std::hex
                          << (firstX >= 0 ? shot.at(firstX, firstY) : 0) << ", expected "
                          << (firstX >= 0 ? expected.at(firstX, firstY) : 0);
}

TEST_F(EditorWindowTest, ADragUpOnTheCutoffKnobRaisesItAndTellsTheHost) {
  constexpr VstInt32 kCutoff = 49;
  const ParameterLayoutRow& row = ParameterLayout[kCutoff];
  ASSERT_EQ(row.x, 475);
  ASSERT_EQ(row.y, 174);
  ASSERT_EQ(dispatch(kSetKnobMode, 0, kLinearKnobs), 1);
  HWND editor = openAndSettle();
  ASSERT_NE(editor, nullptr);
  const float before = effect->getParameter(effect, kCutoff);
  {
    std::lock_guard<std::mutex> guard(hostCallsLock);
    hostCalls.clear();
  }

  POINT centre{row.x, row.y};
  ClientToScreen(editor, &centre);
  SetCursorPos(centre.x, centre.y);
  // The knob's drag loop runs inside this thread's WM_LBUTTONDOWN and polls
  // the button and cursor; the moves come from a second thread meanwhile.
  std::thread mouse([centre] {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof input);
    for (int wait = 0; wait < 400 && !editBegun; ++wait) Sleep(5);
    for (int step = 1; step <= 4; ++step) {
      Sleep(40);
      SetCursorPos(centre.x, centre.y - 10 * step);
    }
    Sleep(150);
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
  });
  const DWORD start = GetTickCount();
  while (!editEnded && GetTickCount() - start < 5000) {
    pumpMessages();
    Sleep(2);
  }
  mouse.join();
  pumpMessages();

  // Linear mode: 40 pixels up is 40 / 200 of the range.
  const float after = effect->getParameter(effect, kCutoff);
  EXPECT_NEAR(after, before + 0.2f, 1e-5f) << "before " << before;

  const std::vector<HostCall> calls = callsSoFar();
  int begin = -1;
  int end = -1;
  int automations = 0;
  float lastAutomated = -1.0f;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const HostCall& call = calls[i];
    if (call.opcode == kHostBeginEdit && begin < 0) begin = static_cast<int>(i);
    if (call.opcode == kHostEndEdit) end = static_cast<int>(i);
    if (call.opcode == kHostAutomate) {
      EXPECT_EQ(call.index, kCutoff) << "automation of another parameter";
      EXPECT_GT(static_cast<int>(i), begin) << "automation before the edit began";
      ++automations;
      lastAutomated = call.opt;
    }
    if (call.opcode == kHostBeginEdit || call.opcode == kHostEndEdit) {
      EXPECT_EQ(call.index, kCutoff);
    }
  }
  ASSERT_GE(begin, 0) << "no begin edit (43)";
  ASSERT_GT(end, begin) << "no end edit (44) after the begin";
  EXPECT_GT(automations, 0) << "no automation (0)";
  EXPECT_NEAR(lastAutomated, after, 1e-6f);
  int lastAutomation = -1;
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (calls[i].opcode == kHostAutomate) lastAutomation = static_cast<int>(i);
  EXPECT_LT(lastAutomation, end) << "automation after the edit ended";
}

}  // namespace
}  // namespace brume::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // A host keeps OLE initialised on its user-interface thread.
  OleInitialize(nullptr);
  for (int i = 1; i + 1 < argc; ++i) {
    std::string option = argv[i];
    if (option == "--plugin")
      brume::testing::pluginPath = argv[++i];
    else if (option == "--snapshot")
      brume::testing::snapshotPath = argv[++i];
  }
  int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
