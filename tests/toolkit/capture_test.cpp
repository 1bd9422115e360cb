// The pixel-test tools on a plain Win32 window: captures of its client area,
// frame and child controls; PNG files read back by the platform's own
// decoder; the watchdog and the message pump that keep window tests from
// hanging.
#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "NyTestSupport.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"

namespace {

using Microsoft::WRL::ComPtr;
using nytest::Image;

// Every colour has three different channels, so that swapped channels show.
constexpr COLORREF kBackground = RGB(0x20, 0x40, 0x60);
constexpr COLORREF kTopLeft = RGB(0xE0, 0x10, 0x30);
constexpr COLORREF kBottomRight = RGB(0x10, 0xC0, 0x70);
constexpr COLORREF kLabel = RGB(0xF0, 0xD0, 0x05);

constexpr int kClientWidth = 320, kClientHeight = 200;
// Blocks near opposite corners: a flipped or shifted capture moves them.
constexpr RECT kTopLeftBlock = {5, 4, 65, 34};
constexpr RECT kBottomRightBlock = {250, 150, 314, 197};
constexpr RECT kButtonRect = {20, 80, 120, 110};
constexpr RECT kLabelRect = {150, 80, 230, 110};

// A captioned top-level window that paints the blocks above on its own
// background, with a push button and an empty static control that the window
// colours kLabel.
class PaintedWindow {
 public:
  PaintedWindow() {
    static const ATOM atom = [] {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = &PaintedWindow::Proc;
      wc.hInstance = ::GetModuleHandleA(nullptr);
      wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
      wc.lpszClassName = "NyCaptureTestWindow";
      return ::RegisterClassA(&wc);
    }();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    hwnd = ::CreateWindowExA(0, MAKEINTATOM(atom), "Capture", style, 40, 40, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, ::GetModuleHandleA(nullptr), this);
    button = Child("BUTTON", "Push", BS_PUSHBUTTON, kButtonRect);
    label = Child("STATIC", "", SS_LEFT, kLabelRect);
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
  }
  ~PaintedWindow() {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    ::DeleteObject(m_labelBrush);
  }
  PaintedWindow(const PaintedWindow&) = delete;
  PaintedWindow& operator=(const PaintedWindow&) = delete;

  HWND hwnd = nullptr, button = nullptr, label = nullptr;
  COLORREF topLeft = kTopLeft;  // read at every paint

 private:
  HWND Child(const char* cls, const char* text, DWORD style, const RECT& r) {
    return ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, hwnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  }

  static void Fill(HDC dc, const RECT& r, COLORREF colour) {
    const HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PaintedWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
      case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
      case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(hwnd, &ps);
        RECT all;
        ::GetClientRect(hwnd, &all);
        Fill(dc, all, kBackground);
        Fill(dc, kTopLeftBlock, self->topLeft);
        Fill(dc, kBottomRightBlock, kBottomRight);
        ::EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(self->m_labelBrush);
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }

  HBRUSH m_labelBrush = ::CreateSolidBrush(kLabel);
};

// `r` is `colour`, and the one-pixel ring around it is the background: an
// image shifted or cut by one pixel fails here.
void ExpectBlock(const Image& image, const RECT& r, COLORREF colour) {
  EXPECT_TRUE(nytest::IsSolid(image, r, colour));
  const RECT ring = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  const int ringPixels = 2 * (ring.right - ring.left) + 2 * (r.bottom - r.top);
  EXPECT_EQ(nytest::CountColour(image, ring, kBackground), ringPixels);
}

RECT Offset(const RECT& r, POINT by) {
  return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

class WindowCapture : public testing::Test {
 protected:
  nytest::Watchdog m_watchdog{60};
  PaintedWindow m_window;
};

TEST_F(WindowCapture, ClientAreaHoldsPaintedBlocksAndChildControls) {
  const Image client = nytest::CaptureClient(m_window.hwnd);
  ASSERT_EQ(client.width, kClientWidth);
  ASSERT_EQ(client.height, kClientHeight);
  EXPECT_EQ(client.At(0, 0), kBackground);
  EXPECT_EQ(client.At(kClientWidth, 0), CLR_INVALID);
  ExpectBlock(client, kTopLeftBlock, kTopLeft);
  ExpectBlock(client, kBottomRightBlock, kBottomRight);

  // Child windows draw themselves: the static in the colour its parent
  // chose, the button in the system's face colour with its dark caption text.
  EXPECT_TRUE(nytest::IsSolid(client, kLabelRect, kLabel));
  const int buttonArea = (kButtonRect.right - kButtonRect.left) * (kButtonRect.bottom - kButtonRect.top);
  EXPECT_GT(nytest::CountColour(client, kButtonRect, ::GetSysColor(COLOR_BTNFACE)), buttonArea / 2);
  // Its caption: inside the frame, pixels other than the face. How many are
  // pure text colour depends on the font the system picks and its
  // smoothing (a Japanese font installed gives fewer), so any ink counts.
  const RECT inside = {kButtonRect.left + 3, kButtonRect.top + 3, kButtonRect.right - 3,
                       kButtonRect.bottom - 3};
  const int insideArea = (inside.right - inside.left) * (inside.bottom - inside.top);
  EXPECT_GT(insideArea - nytest::CountColour(client, inside, ::GetSysColor(COLOR_BTNFACE)), 10);
  EXPECT_EQ(nytest::CountColour(client, kButtonRect, kBackground), 0);
  EXPECT_TRUE(nytest::SaveIfRequested(client, "capture-client"));
}

TEST_F(WindowCapture, WholeWindowHasCaptionAndClientAtItsOffset) {
  const Image whole = nytest::CaptureWindow(m_window.hwnd);
  RECT frame;
  ::GetWindowRect(m_window.hwnd, &frame);
  ASSERT_EQ(whole.width, frame.right - frame.left);
  ASSERT_EQ(whole.height, frame.bottom - frame.top);

  const POINT offset = nytest::ClientOffset(m_window.hwnd);
  EXPECT_GT(offset.x, 0);
  EXPECT_GT(offset.y, offset.x);  // the caption is above the client area
  const RECT clientInWindow = Offset({0, 0, kClientWidth, kClientHeight}, offset);
  EXPECT_TRUE(whole.Crop(clientInWindow) == nytest::CaptureClient(m_window.hwnd));

  // The caption bar, drawn by Wine itself when it does not leave the frame to
  // a window manager (and by the system on Windows).
  const RECT caption = {offset.x, 0, offset.x + kClientWidth, offset.y};
  const int captionPixels = nytest::CountColour(whole, caption, ::GetSysColor(COLOR_ACTIVECAPTION)) +
                            nytest::CountColour(whole, caption, ::GetSysColor(COLOR_INACTIVECAPTION));
  EXPECT_GT(captionPixels, kClientWidth) << "no caption bar: is Managed=N set for Wine's X11 driver?";

  // A child captured on its own is what the parent's capture shows there.
  EXPECT_TRUE(nytest::CaptureWindow(m_window.button) == whole.Crop(Offset(kButtonRect, offset)));
  EXPECT_TRUE(nytest::CaptureClient(m_window.label) == whole.Crop(Offset(kLabelRect, offset)));
  EXPECT_TRUE(nytest::SaveIfRequested(whole, "capture-window"));
}

TEST_F(WindowCapture, PaintsWhatIsPendingButNeverInvalidates) {
  m_window.topLeft = RGB(0x01, 0x02, 0x03);
  ::InvalidateRect(m_window.hwnd, &kTopLeftBlock, FALSE);
  EXPECT_TRUE(nytest::IsSolid(nytest::CaptureClient(m_window.hwnd), kTopLeftBlock, RGB(0x01, 0x02, 0x03)));

  // A change that nobody invalidates stays unseen: a window that forgets to
  // repaint fails its pixel test.
  m_window.topLeft = RGB(0x04, 0x05, 0x06);
  EXPECT_TRUE(nytest::IsSolid(nytest::CaptureClient(m_window.hwnd), kTopLeftBlock, RGB(0x01, 0x02, 0x03)));

  ::ShowWindow(m_window.hwnd, SW_HIDE);
  EXPECT_TRUE(nytest::CaptureWindow(m_window.hwnd).Empty());
  ::DestroyWindow(m_window.hwnd);
  EXPECT_TRUE(nytest::CaptureClient(m_window.hwnd).Empty());
}

// ---- PNG files ------------------------------------------------------------------------

// Balances this thread's COM initialisation; declared before the interfaces.
struct ComScope {
  HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComScope() {
    if (SUCCEEDED(hr)) ::CoUninitialize();
  }
};

// A PNG file decoded by the platform's imaging component (WIC); empty when it
// refuses the file.
Image DecodeWithPlatform(const std::string& path) {
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(
          ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))))
    return {};
  ComPtr<IWICBitmapDecoder> decoder;
  const std::wstring widePath(path.begin(), path.end());  // temporary paths are ASCII
  if (FAILED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, &decoder)))
    return {};
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return {};
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height))) return {};
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(&converter))) return {};
  // 32bppBGR is B, G, R, unused in memory: 0x..RRGGBB as a little-endian word.
  if (FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr,
                                   0.0, WICBitmapPaletteTypeCustom)))
    return {};
  Image image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<size_t>(width) * height);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(image.pixels.data()))))
    return {};
  for (uint32_t& p : image.pixels) p &= 0x00FFFFFF;
  return image;
}

uint32_t BigEndianAt(const std::vector<uint8_t>& bytes, size_t at) {
  return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(Png, ChecksumsMatchPublishedValues) {
  const std::string check = "123456789";
  const auto* bytes = reinterpret_cast<const uint8_t*>(check.data());
  EXPECT_EQ(nytest::detail::Crc32(bytes, check.size()), 0xCBF43926u);
  EXPECT_EQ(nytest::detail::Crc32(reinterpret_cast<const uint8_t*>("IEND"), 4), 0xAE426082u);
  EXPECT_EQ(nytest::detail::Adler32(bytes, check.size()), 0x091E01DEu);
  EXPECT_EQ(nytest::detail::Adler32(nullptr, 0), 1u);
}

TEST(Png, PlatformDecoderReadsBackEveryPixel) {
  // 300 x 90 pixels make 81090 bytes of rows: two stored blocks, the first full.
  Image image;
  image.width = 300;
  image.height = 90;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) image.pixels.push_back((x * 0x010203u + y * 0x070503u) & 0xFFFFFF);
  }
  const std::vector<uint8_t> png = nytest::EncodePng(image);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(std::string(png.begin(), png.begin() + 8), "\x89PNG\r\n\x1A\n");

  nytest::TempFolder dir;
  ASSERT_TRUE(nytest::WritePng(image, dir / "rows.png"));
  EXPECT_TRUE(DecodeWithPlatform(dir / "rows.png") == image);

  // Wine's decoder does not check chunk CRCs, so they are checked here: each
  // covers its chunk's type and data.
  std::vector<std::string> types;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = BigEndianAt(png, at);
    types.emplace_back(png.begin() + at + 4, png.begin() + at + 8);
    EXPECT_EQ(nytest::detail::Crc32(png.data() + at + 4, length + 4), BigEndianAt(png, at + 8 + length));
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

  // It does check the zlib stream's Adler-32: a flipped bit there is refused
  // even when the chunk's CRC is made to match.
  std::vector<uint8_t> bad = png;
  const size_t idatType = 37, idatCrc = png.size() - 12 - 4;
  bad[idatCrc - 1] ^= 0x01;
  const uint32_t crc = nytest::detail::Crc32(bad.data() + idatType, idatCrc - idatType);
  for (int i = 0; i < 4; ++i) bad[idatCrc + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  WriteBytes(dir / "bad.png", bad);
  EXPECT_TRUE(DecodeWithPlatform(dir / "bad.png").Empty());

  EXPECT_FALSE(nytest::WritePng(image, dir / "missing\\rows.png"));
  EXPECT_FALSE(nytest::WritePng(Image(), dir / "empty.png"));
  image.pixels.pop_back();
  EXPECT_TRUE(nytest::EncodePng(image).empty());
}

TEST(Png, ScreenshotsAreWrittenOnlyOnRequest) {
  nytest::TempFolder dir;
  Image image;
  image.width = image.height = 2;
  image.pixels = {0x102030, 0x405060, 0x708090, 0xA0B0C0};

  ::SetEnvironmentVariableA("NY_SCREENSHOT_DIR", nullptr);
  EXPECT_TRUE(nytest::SaveIfRequested(image, "shot"));
  EXPECT_FALSE(nytest::Exists(dir / "shot.png"));

  ::SetEnvironmentVariableA("NY_SCREENSHOT_DIR", (dir / "new").c_str());  // made when missing
  EXPECT_TRUE(nytest::SaveIfRequested(image, "shot"));
  EXPECT_TRUE(DecodeWithPlatform(dir / "new\\shot.png") == image);
  ::SetEnvironmentVariableA("NY_SCREENSHOT_DIR", nullptr);
}

// ---- Watchdog and message pump --------------------------------------------------------

bool g_timerFired = false;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  g_timerFired = true;
}

TEST(WindowTestSupport, PumpDispatchesUntilDoneAndStopsAtDeadlineOrQuit) {
  nytest::Watchdog watchdog(60);
  g_timerFired = false;
  ::SetTimer(nullptr, 0, 50, &OnTimer);  // a thread timer: only a dispatched WM_TIMER runs it
  EXPECT_TRUE(nytest::PumpUntil([] { return g_timerFired; }, 10000));
  EXPECT_FALSE(nytest::PumpUntil([] { return false; }, 50));

  // A quit request ends the pump and stays for the caller's loop.
  ::PostQuitMessage(7);
  EXPECT_FALSE(nytest::PumpUntil([] { return false; }, 10000));
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
