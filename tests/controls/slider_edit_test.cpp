// The slider edit: its placement arithmetic on plain values, and the control
// on a real edit box under a display, driven by sent messages: the layout
// after attaching, the drop-down with the real slider holding the mouse,
// the text following the thumb, committing typed text, the drop button's
// drawing by pixels, and a derived notation.
#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "DoRor.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"
#include "controls/NySliderEditLayout.h"

namespace {

using ny::layout::Point;
using ny::layout::Rect;
using ny::layout::Size;

constexpr int kButtonId = 0x1234;
constexpr int kEditId = 1001;

}  // namespace

// ---- Placement arithmetic ---------------------------------------------------------------

TEST(SliderEditLayout, DropButtonTakesEighteenPixelsFromTheBox) {
  const struct {
    Rect edit;
    std::optional<Rect> narrowed, button;
  } cases[] = {
      {{10, 20, 110, 42}, Rect{10, 20, 92, 42}, Rect{94, 20, 110, 42}},
      {{-50, 0, 19, 20}, Rect{-50, 0, 1, 20}, Rect{3, 0, 19, 20}},  // r = 1 still has room
      {{-50, 0, 18, 20}, std::nullopt, std::nullopt},               // r = 0: too far left
      {{-200, 5, -100, 25}, std::nullopt, std::nullopt},
      {{0, 0, INT_MIN, 0}, std::nullopt, std::nullopt},  // no overflow below INT_MIN
  };
  for (const auto& c : cases) {
    const auto layout = ny::controls::LayOutDropButton(c.edit);
    ASSERT_EQ(layout.has_value(), c.narrowed.has_value()) << c.edit.right;
    if (!layout) continue;
    EXPECT_EQ(layout->edit, *c.narrowed) << c.edit.right;
    EXPECT_EQ(layout->button, *c.button) << c.edit.right;
  }
}

TEST(SliderEditLayout, PopupHangsUnderTheButtonWithTheThumbUnderThePointer) {
  const Size slider{180, 20};
  const Rect thumb{87, 2, 98, 20};  // centre x (87 + 98) / 2 = 92
  const Rect button{480, 280, 496, 302};
  const Rect screen{0, 0, 1280, 1024};
  const struct {
    const char* name;
    Point cursor;
    Rect thumb;
    std::optional<Rect> work;
    Rect expected;
  } cases[] = {
      // (-3, -3, 183, 23) moved by (500 - 92, 302).
      {"no work area", {500, 290}, thumb, std::nullopt, {405, 299, 591, 325}},
      {"inside", {500, 290}, thumb, screen, {405, 299, 591, 325}},
      // Truncation toward zero: the centre of (-5, 0) is -2, not -3.
      {"negative thumb", {500, 290}, {-5, 0, 0, 20}, std::nullopt, {499, 299, 685, 325}},
      {"right edge", {1270, 290}, thumb, screen, {1094, 299, 1280, 325}},
      {"left edge", {10, 290}, thumb, screen, {0, 299, 186, 325}},
      // Not enough room below the button: it opens upwards, bottom at the
      // button's top plus the frame.
      {"opens upwards", {500, 290}, thumb, Rect{0, 0, 1280, 310}, {405, 257, 591, 283}},
      // No room above either: shifted up as far as the work area's bottom.
      {"no room either way", {500, 290}, thumb, Rect{0, 270, 1280, 310}, {405, 284, 591, 310}},
      // A second monitor left of the primary one, in negative coordinates.
      {"negative monitor", {-5, 290}, thumb, Rect{-1024, 0, 0, 768}, {-186, 299, 0, 325}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ny::controls::PlaceSliderPopup(slider, c.thumb, c.cursor, button, c.work), c.expected)
        << c.name;
  }

  // Larger than the work area: the top-left corner stays inside.
  const Rect big = ny::controls::PlaceSliderPopup({2000, 1100}, thumb, {500, 290}, button, screen);
  EXPECT_EQ(big.left, 0);
  EXPECT_EQ(big.top, 0);
  // Nonsensical sizes stay within 32 bits instead of wrapping.
  const Rect huge =
      ny::controls::PlaceSliderPopup({INT_MAX, INT_MAX}, thumb, {500, 290}, button, std::nullopt);
  EXPECT_EQ(huge.right, INT_MAX);
  EXPECT_EQ(huge.bottom, INT_MAX);
}
