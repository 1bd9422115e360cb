// The bitmap-shape runs on pixel rows, without windows.
#include <gtest/gtest.h>

#include <vector>

#include "controls/NyRegionRuns.h"

namespace {

using ny::layout::Rect;
constexpr std::uint32_t W = 0xFFFFFF, K = 0x000000, R = 0xFF0000;

}  // namespace

TEST(RegionRuns, MaximalRunsPerRowInPictureCoordinates) {
  const struct {
    const char* name;
    std::vector<std::uint32_t> pixels;
    int width, height;
    bool bottomUp;
    std::uint32_t transparent;
    std::vector<Rect> runs;
  } cases[] = {
      {"two runs and a gap", {K, K, W, K, W, W, W, W}, 4, 2, false, W, {{0, 0, 2, 1}, {3, 0, 4, 1}}},
      // Every row counts, the last one too, and a run may end at the edge.
      {"last row", {W, W, W, W, K, K}, 2, 3, false, W, {{0, 2, 2, 3}}},
      {"bottom-up rows", {K, W, W, K}, 2, 2, true, W, {{0, 1, 1, 2}, {1, 0, 2, 1}}},
      // The corner rule takes the first pixel stored: bottom-left when
      // bottom-up, so the red ground is transparent and white is the shape.
      {"corner pixel", {R, W, R, R}, 2, 2, true, ny::controls::kCornerPixel, {{1, 1, 2, 2}}},
      // Whole 32-bit values: a set high byte is another colour.
      {"high byte", {0x01FFFFFF, W}, 2, 1, false, W, {{0, 0, 1, 1}}},
      {"all transparent", {W, W, W, W}, 2, 2, false, W, {}},
      {"no rows", {}, 2, 0, false, W, {}},
      {"no columns", {}, 0, 2, false, W, {}},
  };
  for (const auto& c : cases) {
    const std::vector<Rect> runs =
        ny::controls::OpaqueRuns(c.pixels.data(), c.width, c.height, c.bottomUp, c.transparent);
    EXPECT_EQ(runs, c.runs) << c.name;
  }
  EXPECT_TRUE(ny::controls::OpaqueRuns(nullptr, 4, 4, false, W).empty());
}
