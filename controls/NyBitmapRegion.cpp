#include "controls/NyBitmapRegion.h"

#include <vector>

#include "base/NyScopedGdi.h"
#include "controls/NyRegionRuns.h"

namespace ny::controls {

HRGN RegionFromBitmap(HBITMAP bitmap, std::uint32_t transparent, bool bottomUp) {
  BITMAP info = {};
  if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return nullptr;
  if (info.bmWidth <= 0 || info.bmHeight <= 0) return ::CreateRectRgn(0, 0, 0, 0);
  try {
    // Every row as 32-bit pixels whatever the bitmap's own format: one
    // device-independent read, in the row order asked for.
    std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = bottomUp ? info.bmHeight : -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    ScopedCreatedDC dc(::CreateCompatibleDC(nullptr));
    if (!dc || ::GetDIBits(dc.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format,
                           DIB_RGB_COLORS) != info.bmHeight) {
      return nullptr;
    }
    const std::vector<ny::layout::Rect> runs =
        OpaqueRuns(pixels.data(), info.bmWidth, info.bmHeight, bottomUp, transparent);
    if (runs.empty()) return ::CreateRectRgn(0, 0, 0, 0);
    // One region from the whole list: RGNDATA is a header followed by the
    // rectangles, which have RECT's layout.
    std::vector<char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(runs.size());
    region->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    region->rdh.rcBound = {0, 0, info.bmWidth, info.bmHeight};
    RECT* rects = reinterpret_cast<RECT*>(region->Buffer);
    for (size_t i = 0; i < runs.size(); ++i)
      rects[i] = {runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

ShapeClip::ShapeClip(HWND window, HDC dc) : m_dc(dc), m_saved(dc ? ::SaveDC(dc) : 0) {
  if (!m_saved || !window) return;
  ScopedRegion shape(::CreateRectRgn(0, 0, 0, 0));
  if (!shape || ::GetWindowRgn(window, shape.Get()) == ERROR) return;
  // The region lies in window coordinates, the DC in client coordinates.
  RECT frame = {};
  POINT client = {0, 0};
  ::GetWindowRect(window, &frame);
  ::ClientToScreen(window, &client);
  ::OffsetRgn(shape.Get(), frame.left - client.x, frame.top - client.y);
  ::ExtSelectClipRgn(dc, shape.Get(), RGN_AND);
}

ShapeClip::~ShapeClip() {
  if (m_saved) ::RestoreDC(m_dc, m_saved);
}

}  // namespace ny::controls
