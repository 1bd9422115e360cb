// Restoring a dialog's saved position: which keys win, and the clamp to the
// monitor's work area.
#include <climits>

#include "NyCoreTestSupport.h"
#include "dialogs/NyDialogPosition.h"

using ny::layout::Point;
using ny::layout::Rect;
using ny::layout::SavedDialogPos;
using ny::layout::Size;

TEST(DialogPosition, SavedKeysAndTheirPrecedence) {
  const Rect current{100, 100, 300, 250};  // 200 x 150
  const Rect parent{50, 60, 500, 400};
  const struct {
    const char* what;
    SavedDialogPos saved;
    bool restoreSize, withParent;
    Rect expected;
    bool changed;
  } cases[] = {
      {"nothing saved", {}, true, true, current, false},
      {"position", {Point{10, 20}}, false, false, {10, 20, 210, 170}, true},
      {"left and top only", {{}, Point{30, 40}}, false, false, {30, 40, 230, 190}, true},
      {"position wins over left and top",
       {Point{10, 20}, Point{30, 40}},
       false,
       false,
       {10, 20, 210, 170},
       true},
      {"size ignored without restoreSize",
       {Point{10, 20}, {}, Size{50, 60}},
       false,
       false,
       {10, 20, 210, 170},
       true},
      {"size", {Point{10, 20}, {}, Size{50, 60}}, true, false, {10, 20, 60, 80}, true},
      {"right and bottom as they are",
       {{}, {}, {}, Point{400, 300}},
       true,
       false,
       {100, 100, 400, 300},
       true},
      {"parent-relative wins",
       {Point{10, 20}, {}, {}, {}, Point{5, 6}},
       false,
       true,
       {55, 66, 255, 216},
       true},
      {"relative without a parent", {{}, {}, {}, {}, Point{5, 6}}, false, false, current, false},
      {"huge values stay in range",
       {Point{INT_MAX, INT_MIN}, {}, Size{INT_MAX, 5}},
       true,
       false,
       {INT_MAX, INT_MIN, INT_MAX, INT_MIN + 5},
       true},
  };
  for (const auto& c : cases) {
    bool changed = !c.changed;
    const Rect rc = ny::layout::PlaceSavedDialog(
        current, c.saved, c.restoreSize, c.withParent ? std::optional<Rect>(parent) : std::nullopt, &changed);
    EXPECT_EQ(rc, c.expected) << c.what;
    EXPECT_EQ(changed, c.changed) << c.what;
  }
}

TEST(DialogPosition, ClampToTheWorkArea) {
  const Rect work{0, 0, 1000, 700};
  const struct {
    const char* what;
    Rect rc;
    bool restoreSize;
    Rect expected;
    bool acted;
  } cases[] = {
      {"inside", {10, 10, 210, 160}, true, {10, 10, 210, 160}, false},
      {"right of the area", {1200, 100, 1400, 250}, false, {800, 100, 1000, 250}, true},
      {"below and left", {-50, 650, 150, 800}, false, {0, 550, 200, 700}, true},
      {"larger keeps the top-left inside", {-100, -100, 1300, 900}, false, {0, 0, 1400, 1000}, true},
      {"larger cut with restoreSize", {-100, -100, 1300, 900}, true, {0, 0, 1000, 700}, true},
      {"on the edges", {800, 550, 1000, 700}, true, {800, 550, 1000, 700}, false},
  };
  for (const auto& c : cases) {
    Rect rc = c.rc;
    EXPECT_EQ(ny::layout::ClampToWorkArea(rc, work, c.restoreSize), c.acted) << c.what;
    EXPECT_EQ(rc, c.expected) << c.what;
  }
}
