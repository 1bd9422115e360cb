// A window region from a bitmap's pixels, for the shaped buttons.
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

}  // namespace ny::controls
