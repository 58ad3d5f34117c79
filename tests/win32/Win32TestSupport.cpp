#include "Win32TestSupport.h"

#include <sstream>

#include "host/ModuleHandle.h"

namespace brume::testing {
namespace {

constexpr char kHostClassName[] = "Brume7TestHost";

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void registerHostClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = hostProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = kHostClassName;
  registered = RegisterClassA(&windowClass) != 0;
}

// A top-down 32-bit DIB section selected into a memory device context.
class DibCanvas {
 public:
  DibCanvas(int width, int height) : width(width), height(height), dc(CreateCompatibleDC(nullptr)) {
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
  ~DibCanvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  PixelImage image() const {
    GdiFlush();
    PixelImage result{width, height, {}};
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

void clientSize(HWND window, int& width, int& height) {
  RECT area{};
  GetClientRect(window, &area);
  width = area.right - area.left;
  height = area.bottom - area.top;
}

// Like a host, the program keeps OLE initialised on its thread from start to
// end, so the tests' own initialisations nest inside one apartment. (32-bit
// Wine hangs in IShellLinkA::SetPath once the apartment has been torn down
// after a RegisterDragDrop and made again.)
class OleForTheProgram : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const oleForTheProgram =
    ::testing::AddGlobalTestEnvironment(new OleForTheProgram);

}  // namespace

PixelImage resourcePixels(int id) {
  HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
  if (!bitmap) return {};
  BITMAP description{};
  GetObjectA(bitmap, sizeof description, &description);
  DibCanvas canvas(description.bmWidth, description.bmHeight);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(source, bitmap);
  BitBlt(canvas.dc, 0, 0, canvas.width, canvas.height, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(bitmap);
  return canvas.image();
}

PixelImage printWindow(HWND window) {
  int width;
  int height;
  clientSize(window, width, height);
  DibCanvas canvas(width, height);
  PrintWindow(window, canvas.dc, PW_CLIENTONLY);
  return canvas.image();
}

PixelImage windowPixels(HWND window) {
  int width;
  int height;
  clientSize(window, width, height);
  DibCanvas canvas(width, height);
  HDC dc = GetDC(window);
  BitBlt(canvas.dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  return canvas.image();
}

std::string firstDifference(const PixelImage& actual, const PixelImage& expected) {
  std::ostringstream out;
  if (actual.width != expected.width || actual.height != expected.height) {
    out << "size " << actual.width << "x" << actual.height << ", expected " << expected.width << "x" << expected.height;
    return out.str();
  }
  for (std::int32_t y = 0; y < actual.height; ++y)
    for (std::int32_t x = 0; x < actual.width; ++x)
      if (actual.at(x, y) != expected.at(x, y)) {
        out << std::hex << "at " << std::dec << x << "," << y << ": " << std::hex << actual.at(x, y) << ", expected "
            << expected.at(x, y);
        return out.str();
      }
  return "";
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void RecordingClient::onPaint(native::Surface*, const Rect& area) { paints.push_back(area); }

bool RecordingClient::onDrop(const char* const* data, std::int32_t count, std::int32_t type) {
  Drop drop{type, count, {}};
  if (type == 1)
    drop.items.emplace_back(data[0], data[0] + count);
  else
    for (std::int32_t i = 0; i < count; ++i) drop.items.emplace_back(data[i]);
  drops.push_back(drop);
  return acceptDrops;
}

bool RecordingView::acceptDrop(const char* const* data, std::int32_t count, std::int32_t type, Point where) {
  std::string item;
  if (type == 1) {
    item.assign(data[0], data[0] + count);
  } else {
    for (std::int32_t i = 0; i < count; ++i) item += (i ? "|" : "") + std::string(data[i]);
  }
  drops.push_back(item);
  dropPoints.push_back(where);
  return acceptsDrops;
}

void HostWindowTest::SetUp() {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  oleInitialised = true;
  ModuleHandle = GetModuleHandleA(nullptr);
  registerHostClass();
  host = CreateWindowExA(0, kHostClassName, "Test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 30, kHostWidth,
                         kHostHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(host, nullptr);
  SetForegroundWindow(host);
  UpdateWindow(host);
  pumpMessages();
}

void HostWindowTest::TearDown() {
  if (host && IsWindow(host)) DestroyWindow(host);
  pumpMessages();
  if (oleInitialised) OleUninitialize();
}

}  // namespace brume::testing
