// The shape of a bitmap as rectangles, on plain pixel rows: each maximal run
// of pixels in a row that differ from the transparent value becomes a
// one-pixel-high rectangle. Both bitmap buttons build their window regions
// and hit-test areas from these; the GDI part reads the rows and makes one
// region from the list.
#pragma once

#include <cstdint>
#include <vector>

#include "dialogs/NyLayout.h"

namespace ny::controls {

// The transparent value that means "the colour of the first pixel of the
// rows" (for rows stored bottom-up, the picture's bottom-left pixel).
constexpr std::uint32_t kCornerPixel = 0xFFFFFFFF;

// `pixels` holds `height` rows of `width` 32-bit values (0x00RRGGBB, compared
// whole), top row first, or bottom row first with `bottomUp`; the
// rectangles are in picture coordinates (y grows downwards), in the order
// the rows are stored. Nothing for an empty picture.
std::vector<ny::layout::Rect> OpaqueRuns(const std::uint32_t* pixels, int width, int height, bool bottomUp,
                                         std::uint32_t transparent);

}  // namespace ny::controls
