// Pixels of live windows for the window tests: captures of a whole window or
// of its client area, pixel queries, and a small PNG writer for pictures that
// are written on request (NY_SCREENSHOT_DIR).
//
// How a capture is taken, as measured under Wine 8 on Xvfb without a window
// manager (Managed=N):
// - PrintWindow is a bare WM_PRINT there. It returns TRUE, but a window that
//   paints in WM_PAINT (every toolkit window and most controls) leaves only
//   its erased background; whatever WM_PRINTCLIENT draws lands at the top
//   left even for a whole-window capture, the frame and caption are not
//   drawn, and child windows are missing. Its result cannot be told from a
//   real one, so it is not used under Wine at all.
// - BitBlt from the window's own DC (GetWindowDC for the whole window, GetDC
//   for the client area) reads Wine's per-window surface: frame, caption and
//   child controls are all there, at the right offsets, with exact colours,
//   and another window lying on top does not show. The same BitBlt from the
//   screen DC shows the covering window, so it is not used either.
// - With Wine's managed mode (no Managed=N) and no window manager, the frame
//   and caption are left to the absent window manager: a whole-window capture
//   then has unpainted pixels where the caption would be.
// On Windows, PrintWindow renders through the window's own painting, children
// included, whether or not the window is covered, so it is used there.
//
// A capture needs a visible window that lies inside the screen: Wine keeps no
// pixels for the parts of a top-level window outside the virtual screen.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace nytest {

// ---- Images -----------------------------------------------------------------------

// Pixels of a capture, row-major, top row first, each 0x00RRGGBB.
struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const { return width <= 0 || height <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

  // The pixel as a COLORREF, comparable with RGB(...) and GetSysColor();
  // CLR_INVALID outside the image.
  COLORREF At(int x, int y) const {
    if (!Contains(x, y)) return CLR_INVALID;
    const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  // The part of the image inside `r` (clipped to the image).
  Image Crop(const RECT& r) const {
    Image out;
    const int left = r.left < 0 ? 0 : static_cast<int>(r.left);
    const int top = r.top < 0 ? 0 : static_cast<int>(r.top);
    const int right = r.right > width ? width : static_cast<int>(r.right);
    const int bottom = r.bottom > height ? height : static_cast<int>(r.bottom);
    if (left >= right || top >= bottom) return out;
    out.width = right - left;
    out.height = bottom - top;
    for (int y = top; y < bottom; ++y) {
      const auto row = pixels.begin() + static_cast<ptrdiff_t>(y) * width;
      out.pixels.insert(out.pixels.end(), row + left, row + right);
    }
    return out;
  }

  bool operator==(const Image& other) const {
    return width == other.width && height == other.height && pixels == other.pixels;
  }
  bool operator!=(const Image& other) const { return !(*this == other); }
};

// How many pixels inside `r` (clipped to the image) have the colour `colour`.
inline int CountColour(const Image& image, const RECT& r, COLORREF colour) {
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      if (image.Contains(x, y) && image.At(x, y) == colour) ++count;
    }
  }
  return count;
}

// Whether `r` is non-empty, lies wholly inside the image and is all `colour`.
// A rectangle reaching outside is a mistake of the test, so it is false.
inline bool IsSolid(const Image& image, const RECT& r, COLORREF colour) {
  if (r.left >= r.right || r.top >= r.bottom) return false;
  if (!image.Contains(r.left, r.top) || !image.Contains(r.right - 1, r.bottom - 1)) return false;
  return CountColour(image, r, colour) == (r.right - r.left) * (r.bottom - r.top);
}

// ---- Captures ---------------------------------------------------------------------

namespace detail {

inline bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// A top-down 32-bit DIB selected into a memory DC, released on every path.
class Canvas {
 public:
  Canvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
    if (m_dc && m_bitmap) m_old = ::SelectObject(m_dc, m_bitmap);
  }
  ~Canvas() {
    if (m_old) ::SelectObject(m_dc, m_old);
    if (m_bitmap) ::DeleteObject(m_bitmap);
    if (m_dc) ::DeleteDC(m_dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC Dc() const { return m_old ? m_dc : nullptr; }

  // The DIB's pixels, whose 32-bit BI_RGB layout is 0x00RRGGBB already; the
  // unused top byte is cleared in case a driver wrote alpha there.
  Image ToImage() const {
    ::GdiFlush();  // GDI may batch drawing into a DIB section
    Image image;
    image.width = m_width;
    image.height = m_height;
    const auto* bits = static_cast<const uint32_t*>(m_bits);
    image.pixels.assign(bits, bits + static_cast<size_t>(m_width) * m_height);
    for (uint32_t& p : image.pixels) p &= 0x00FFFFFF;
    return image;
  }

 private:
  int m_width, m_height;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  void* m_bits = nullptr;
};

inline Image Capture(HWND window, bool clientOnly) {
  if (!::IsWindow(window) || !::IsWindowVisible(window)) return {};
  // Paints what is pending (frame, client area, children) before reading.
  // Nothing is invalidated here: a window that fails to invalidate after a
  // change must still show its stale pixels to the test.
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r;
  if (!(clientOnly ? ::GetClientRect(window, &r) : ::GetWindowRect(window, &r))) return {};
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return {};
  Canvas canvas(width, height);
  if (!canvas.Dc()) return {};
  bool drawn = false;
  if (UnderWine()) {
    const HDC source = clientOnly ? ::GetDC(window) : ::GetWindowDC(window);
    if (!source) return {};
    drawn = ::BitBlt(canvas.Dc(), 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    ::ReleaseDC(window, source);
  } else {
    drawn = ::PrintWindow(window, canvas.Dc(), clientOnly ? PW_CLIENTONLY : 0) != FALSE;
  }
  return drawn ? canvas.ToImage() : Image();
}

}  // namespace detail

// The whole window, frame and caption included, as it is on the screen after
// its pending painting; empty for a window that is gone or hidden.
inline Image CaptureWindow(HWND window) { return detail::Capture(window, false); }

// The client area alone, child windows included; empty as for CaptureWindow.
inline Image CaptureClient(HWND window) { return detail::Capture(window, true); }

// Where the client area's top-left corner lies in a CaptureWindow image.
inline POINT ClientOffset(HWND window) {
  RECT frame = {};
  POINT origin = {0, 0};
  ::GetWindowRect(window, &frame);
  ::ClientToScreen(window, &origin);
  return {origin.x - frame.left, origin.y - frame.top};
}

// ---- PNG --------------------------------------------------------------------------
// 8-bit RGB, no interlace, filter type 0 on every row, in a zlib stream of
// stored (uncompressed) deflate blocks: pictures are written rarely and
// small, and stored blocks keep the writer free of any compressor.

namespace detail {

inline uint32_t Crc32(const uint8_t* data, size_t size) {
  static const std::vector<uint32_t> table = [] {
    std::vector<uint32_t> t(256);
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

inline uint32_t Adler32(const uint8_t* data, size_t size) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

inline void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Appends a chunk: length, type, data, and the CRC of type and data.
inline void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(out.data() + typeAt, out.size() - typeAt));
}

// A zlib stream holding `raw` in stored deflate blocks of at most 65535 bytes.
inline std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32 KiB window; check bits make 0x7801 % 31 == 0
  size_t at = 0;
  do {
    const size_t length = (std::min)(raw.size() - at, static_cast<size_t>(0xFFFF));
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00; the rest of the byte pads to the boundary
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
    at += length;
  } while (at < raw.size());
  PutBigEndian(out, Adler32(raw.data(), raw.size()));
  return out;
}

}  // namespace detail

// The PNG file of `image`; empty when the image is empty or its pixel count
// does not match its size.
inline std::vector<uint8_t> EncodePng(const Image& image) {
  if (image.Empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height) return {};
  std::vector<uint8_t> header;
  detail::PutBigEndian(header, static_cast<uint32_t>(image.width));
  detail::PutBigEndian(header, static_cast<uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // depth 8, truecolour, deflate, filter 0, no interlace

  std::vector<uint8_t> rows;
  rows.reserve(static_cast<size_t>(image.height) * (1 + 3 * static_cast<size_t>(image.width)));
  for (int y = 0; y < image.height; ++y) {
    rows.push_back(0);  // filter type None
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
      rows.insert(rows.end(),
                  {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)});
    }
  }

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  detail::PutChunk(png, "IHDR", header);
  detail::PutChunk(png, "IDAT", detail::StoredZlib(rows));
  detail::PutChunk(png, "IEND", {});
  return png;
}

// Writes `image` as a PNG file at `path`; false when the image is empty or
// the file cannot be written in full.
inline bool WritePng(const Image& image, const std::string& path) {
  const std::vector<uint8_t> png = EncodePng(image);
  if (png.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  out.close();
  return out.good();
}

// Writes `image` as <NY_SCREENSHOT_DIR>\<name>.png when that variable is set
// (pictures for the README, written on request); does nothing otherwise. The
// folder is created when missing; under Wine a Unix path (/tmp/shots) names
// the same folder through drive Z:, which the prefix maps to the root. False
// only when a requested picture could not be written.
inline bool SaveIfRequested(const Image& image, const std::string& name) {
  char dir[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableA("NY_SCREENSHOT_DIR", dir, MAX_PATH);
  if (length == 0) return true;
  if (length >= MAX_PATH) return false;
  std::string folder = dir;
  if (folder[0] == '/' && detail::UnderWine()) folder = "Z:" + folder;
  std::error_code ignored;  // a folder that cannot be made shows as a failed write
  std::filesystem::create_directories(folder, ignored);
  return WritePng(image, folder + "\\" + name + ".png");
}

}  // namespace nytest
