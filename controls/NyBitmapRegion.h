// A window region from a bitmap's pixels for the shaped buttons, and the
// clip that keeps their drawing inside it.
#pragma once

#include "base/NyWindows.h"

#include <cstdint>

namespace ny::controls {

// The region of the pixels of `bitmap` that differ from `transparent` (a
// 0x00RRGGBB value, or kCornerPixel: the colour of the first pixel read),
// the rows read top row first, or bottom row first with `bottomUp` as a
// bottom-up section stores them; one region from the list of runs, bounded
// by the picture. Empty for a picture without width or height; null when
// the bitmap cannot be read or memory runs out. The caller owns the region.
HRGN RegionFromBitmap(HBITMAP bitmap, std::uint32_t transparent, bool bottomUp);

// Keeps drawing on `dc` inside the window region of `window` while it lives.
// Wine crops neither a window's update region nor the button class's parent
// DC (CS_PARENTDC) to the window region: unclipped, an owner-drawn button is
// erased with the parent's button brush over its whole rectangle, corners
// outside the shape included, and its text may spill out as well. Without a
// window region nothing is clipped.
class ShapeClip {
 public:
  ShapeClip(HWND window, HDC dc);
  ~ShapeClip();
  ShapeClip(const ShapeClip&) = delete;
  ShapeClip& operator=(const ShapeClip&) = delete;

 private:
  HDC m_dc;
  int m_saved;
};

}  // namespace ny::controls
