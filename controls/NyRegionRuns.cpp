#include "controls/NyRegionRuns.h"

namespace ny::controls {

std::vector<ny::layout::Rect> OpaqueRuns(const std::uint32_t* pixels, int width, int height, bool bottomUp,
                                         std::uint32_t transparent) {
  std::vector<ny::layout::Rect> runs;
  if (!pixels || width <= 0 || height <= 0) return runs;
  if (transparent == kCornerPixel) transparent = pixels[0];
  for (int row = 0; row < height; ++row) {
    const std::uint32_t* line = pixels + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    const int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width;) {
      if (line[x] == transparent) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < width && line[x] != transparent) ++x;
      runs.push_back({start, y, x, y + 1});
    }
  }
  return runs;
}

}  // namespace ny::controls
