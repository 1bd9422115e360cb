#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

#include "dialogs/NyLayout.h"

namespace ny::layout {
// Readable failure messages.
void PrintTo(const Rect& rc, std::ostream* os) {
  *os << "(" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << ")";
}
void PrintTo(const Point& pt, std::ostream* os) { *os << "(" << pt.x << ", " << pt.y << ")"; }
void PrintTo(const Size& sz, std::ostream* os) { *os << "(" << sz.cx << ", " << sz.cy << ")"; }
}  // namespace ny::layout

namespace {

using namespace ny::layout;

struct Span {
  int low, high;
};

// Every combination of the four bits, growing and shrinking the client area.
// Powers of two keep the centre rule's double arithmetic exact here; its
// rounding has a table of its own below.
TEST(LayoutTest, AnchoredRectFollowsItsEdges) {
  const Rect original{16, 32, 48, 96};  // 32 wide, centre 32 of 128; 64 high, centre 64 of 256
  const Size reference{128, 256};
  const struct {
    Size client;
    Span horizontal[4];  // neither, LEFT, RIGHT, both
    Span vertical[4];    // neither, TOP, BOTTOM, both
  } cases[] = {
      {{192, 384}, {{32, 64}, {16, 48}, {80, 112}, {16, 112}}, {{64, 128}, {32, 96}, {160, 224}, {32, 224}}},
      {{112, 224}, {{12, 44}, {16, 48}, {0, 32}, {16, 32}}, {{24, 88}, {32, 96}, {0, 64}, {32, 64}}},
      {reference, {{16, 48}, {16, 48}, {16, 48}, {16, 48}}, {{32, 96}, {32, 96}, {32, 96}, {32, 96}}},
  };
  for (const auto& c : cases) {
    for (unsigned anchor = 0; anchor < 16; ++anchor) {
      const Span h = c.horizontal[((anchor & kAnchorLeft) ? 1 : 0) + ((anchor & kAnchorRight) ? 2 : 0)];
      const Span v = c.vertical[((anchor & kAnchorTop) ? 1 : 0) + ((anchor & kAnchorBottom) ? 2 : 0)];
      const Rect expected{h.low, v.low, h.high, v.high};
      EXPECT_EQ(expected, AnchoredRect(anchor, original, reference, c.client))
          << "anchor " << anchor << ", client " << c.client.cx << "x" << c.client.cy;
      // Bits beyond the four are ignored.
      EXPECT_EQ(expected, AnchoredRect(anchor | 0xFFFFFFF0u, original, reference, c.client));
    }
  }
}

// Without a vertical anchor: the centre is ((top + bottom) * 0.5 / h0) * cy in
// double, truncated toward zero, and the half height is integer division.
TEST(LayoutTest, CentreRuleRounding) {
  const struct {
    Span original;
    int h0, cy;
    Span expected;
  } cases[] = {
      {{40, 60}, 100, 200, {90, 110}},     // centre 50 of 100 -> 100 of 200
      {{41, 60}, 100, 200, {92, 111}},     // odd height 19: centre 101, top 101 - 9
      {{-30, -15}, 100, 150, {-40, -25}},  // centre -33.75 truncates to -33, not -34
      {{4, 9}, 3, 54, {114, 119}},         // 6.5 / 3 * 54 is 116.99999999999999 in double: 116
      {{40, 60}, 100, 0, {-10, 10}},       // client collapsed to nothing
      {{40, 60}, 100, -100, {-60, -40}},   // nonsense sizes still compute
  };
  for (const auto& c : cases) {
    const Rect original{0, c.original.low, 10, c.original.high};
    const Rect expected{0, c.expected.low, 10, c.expected.high};
    EXPECT_EQ(expected, AnchoredRect(kAnchorLeft, original, {10, c.h0}, {10, c.cy}))
        << c.original.low << ".." << c.original.high << " in " << c.h0 << " -> " << c.cy;
  }
}

TEST(LayoutTest, AnchoredRectWithoutReferenceSizeOrInRange) {
  const Rect original{10, 20, 30, 40};
  // A zero reference extent has no centre to keep: that axis stays put,
  // while the edge rules on it still apply.
  EXPECT_EQ((Rect{10, 65, 30, 85}), AnchoredRect(0, original, {0, 100}, {50, 250}));
  EXPECT_EQ((Rect{10, 20, 30, 40}), AnchoredRect(0, original, {0, 0}, {50, 60}));
  EXPECT_EQ((Rect{60, 20, 80, 40}), AnchoredRect(kAnchorRight | kAnchorTop, original, {0, 0}, {50, 60}));
  EXPECT_EQ((Rect{10, 20, 80, 100}), AnchoredRect(0xF, original, {0, 0}, {50, 60}));

  // Extreme geometry saturates instead of overflowing.
  const Rect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ((Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}), AnchoredRect(0xF, huge, {1, 1}, {INT_MAX, INT_MAX}));
  EXPECT_EQ((Rect{INT_MIN, INT_MIN, -2, -2}), AnchoredRect(0xA, huge, {1, 1}, {INT_MIN, INT_MIN}));
  EXPECT_EQ((Rect{INT_MAX, INT_MAX, INT_MAX, INT_MAX}),
            AnchoredRect(0, Rect{INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX}, {1, 1}, {INT_MAX, INT_MAX}));
}

TEST(LayoutTest, TrackSizesClampedPerCoordinate) {
  const struct {
    Size minimum, maximum;
    Point minTrack, maxTrack;
  } cases[] = {
      {{0, 0}, {INT_MAX, INT_MAX}, {112, 27}, {1300, 1050}},  // the unset limits change nothing
      {{400, 10}, {INT_MAX, INT_MAX}, {400, 27}, {1300, 1050}},
      {{0, 0}, {300, 2000}, {112, 27}, {300, 1050}},
      {{500, 600}, {800, 700}, {500, 600}, {800, 700}},
  };
  for (const auto& c : cases) {
    Point minTrack{112, 27}, maxTrack{1300, 1050};
    ClampTrackSizes(minTrack, maxTrack, c.minimum, c.maximum);
    EXPECT_EQ(c.minTrack, minTrack);
    EXPECT_EQ(c.maxTrack, maxTrack);
  }
}

TEST(LayoutTest, BelongingMonitor) {
  const Rect primary{0, 0, 1920, 1080};
  const Rect right{1920, 0, 3840, 1080}, left{-1920, 0, 0, 1080};
  const Rect a{0, 0, 1000, 800}, b{1200, 0, 2200, 800};  // a 200 pixel gap between them
  const struct {
    std::vector<Rect> monitors;
    Point pt;
    int expected;
  } cases[] = {
      {{primary}, {100, 100}, 0},
      {{primary}, {1920, 500}, 0},  // on the right edge: outside, distance 0
      {{primary}, {1920, 1080}, 0},
      {{primary}, {INT_MIN, INT_MAX}, 0},
      {{primary, right}, {1920, 500}, 1},  // the monitor containing it beats distance 0 to the first
      {{primary, right}, {1919, 500}, 0},
      {{left, primary}, {-1, 5}, 0},
      {{left, primary}, {0, 5}, 1},
      {{a, b}, {1150, -10}, 1},  // above the gap: 160 to a, 60 to b
      {{a, b}, {1050, -10}, 0},
      {{a, b}, {1100, -10}, 0},  // equal sums: the first enumerated
      {{b, a}, {1100, -10}, 0},
      {{a, b}, {1100, 5000}, 0},
      {{a, {500, 500, 1500, 1500}}, {600, 600}, 0},  // overlapping: the first that contains it
      {{}, {0, 0}, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, BelongingMonitor(c.monitors, c.pt)) << "point " << c.pt.x << "," << c.pt.y;
  }
}

TEST(LayoutTest, RectCentreTruncatesTowardZero) {
  EXPECT_EQ((Point{960, 540}), RectCentre({0, 0, 1921, 1081}));
  EXPECT_EQ((Point{-1, -2}), RectCentre({-3, -5, 0, 0}));  // -1.5 and -2.5
  EXPECT_EQ((Point{INT_MAX - 1, 0}), RectCentre({INT_MAX - 1, INT_MIN, INT_MAX, INT_MAX}));
  EXPECT_EQ((Point{INT_MIN, INT_MIN + 2}), RectCentre({INT_MIN, INT_MIN, INT_MIN, INT_MIN + 3}));
}

TEST(LayoutTest, UnionIgnoresEmptyRectangles) {
  const struct {
    Rect a, b, expected;
  } cases[] = {
      {{0, 0, 10, 10}, {20, 5, 30, 40}, {0, 0, 30, 40}},
      {{10, 10, 20, 20}, {0, 0, 0, 0}, {10, 10, 20, 20}},  // not stretched to the origin
      {{0, 0, 0, 0}, {10, 10, 20, 20}, {10, 10, 20, 20}},
      {{10, 40, 290, 40}, {10, 70, 290, 90}, {10, 70, 290, 90}},  // no height: ignored
      {{30, 30, 20, 40}, {0, 0, 5, 5}, {0, 0, 5, 5}},             // inverted: empty
      {{10, 40, 290, 40}, {5, 5, 5, 50}, {0, 0, 0, 0}},           // both empty
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Union(c.a, c.b));
#ifdef _WIN32
    // The platform agrees.
    const RECT a{c.a.left, c.a.top, c.a.right, c.a.bottom}, b{c.b.left, c.b.top, c.b.right, c.b.bottom};
    RECT u{-1, -1, -1, -1};
    ::UnionRect(&u, &a, &b);
    EXPECT_EQ(c.expected, (Rect{u.left, u.top, u.right, u.bottom}));
#endif
  }
}

// ---- Hide plans ------------------------------------------------------------------

const Rect kClient{0, 0, 300, 200};
constexpr int kFirst = 100, kEnd = 102;

std::vector<std::size_t> Indexes(const std::vector<ChildMove>& moves) {
  std::vector<std::size_t> indexes;
  for (const ChildMove& move : moves) indexes.push_back(move.index);
  return indexes;
}

// A block of two rows with nothing beside it, a label above and a button 10
// pixels below: the button moves up by the block's height plus those 10.
TEST(LayoutTest, HidePlanClosesTheGap) {
  const std::vector<Child> children = {
      {10, {10, 10, 100, 30}, true},       // label above: untouched
      {kFirst, {10, 40, 290, 60}, true},   // block
      {101, {10, 70, 290, 90}, true},      // block
      {kEnd, {200, 100, 290, 125}, true},  // the button, not hidden
      {50, {10, 95, 100, 98}, false},      // invisible: no edge, not moved
  };
  const HidePlan plan = PlanHideControls(children, kClient, kFirst, kEnd);
  ASSERT_TRUE(plan.found);
  EXPECT_EQ((std::vector<std::size_t>{1, 2}), plan.hidden);
  EXPECT_EQ((Rect{10, 40, 290, 90}), plan.block);
  EXPECT_EQ(-60, plan.shift);
  ASSERT_EQ(1u, plan.moves.size());
  EXPECT_EQ(3u, plan.moves[0].index);
  EXPECT_EQ((Rect{200, 40, 290, 65}), plan.moves[0].rect);

  // Without the end: everything from the first is hidden and the window
  // shrinks to the block's top.
  const HidePlan toLast = PlanHideControls(children, kClient, kFirst, 999);
  ASSERT_TRUE(toLast.found);
  EXPECT_EQ((std::vector<std::size_t>{1, 2, 3, 4}), toLast.hidden);
  EXPECT_EQ((Rect{10, 40, 290, 125}), toLast.block);
  EXPECT_EQ(40 - 200, toLast.shift);
  EXPECT_TRUE(toLast.moves.empty());
}

TEST(LayoutTest, HidePlanFindsNothing) {
  const std::vector<Child> children = {
      {10, {10, 10, 100, 30}, true},
      {kEnd, {200, 100, 290, 125}, true},
      {kFirst, {10, 40, 290, 60}, true},  // after the end: never reached
  };
  for (const int first : {kFirst, 555, kEnd}) {
    const HidePlan plan = PlanHideControls(children, kClient, first, kEnd);
    EXPECT_FALSE(plan.found) << first;
    EXPECT_TRUE(plan.hidden.empty()) << first;
    EXPECT_EQ(0, plan.shift);
    EXPECT_TRUE(plan.moves.empty());
  }
  EXPECT_FALSE(PlanHideControls({}, kClient, kFirst, kEnd).found);

  // A first control at (0, 0, 0, 0) is hidden, but starts no block: the run
  // ends there and nothing moves.
  const std::vector<Child> zero = {
      {kFirst, {0, 0, 0, 0}, true}, {101, {10, 70, 290, 90}, true}, {kEnd, {200, 100, 290, 125}, true}};
  const HidePlan plan = PlanHideControls(zero, kClient, kFirst, kEnd);
  EXPECT_FALSE(plan.found);
  EXPECT_EQ((std::vector<std::size_t>{0}), plan.hidden);
  EXPECT_TRUE(plan.moves.empty());
}

TEST(LayoutTest, HidePlanEdgesAroundTheBlock) {
  // A group box straddling the block's top: its bottom is the first edge
  // below, so it is shortened to end where the block began, and the button
  // under it moves up by as much.
  const std::vector<Child> straddle = {
      {5, {5, 5, 295, 150}, true},
      {kFirst, {10, 40, 140, 60}, true},
      {101, {10, 70, 140, 90}, true},
      {kEnd, {200, 160, 290, 180}, true},
  };
  HidePlan plan = PlanHideControls(straddle, kClient, kFirst, kEnd);
  ASSERT_TRUE(plan.found);
  EXPECT_EQ(-110, plan.shift);
  EXPECT_EQ((std::vector<std::size_t>{0, 3}), Indexes(plan.moves));
  EXPECT_EQ((Rect{5, 5, 295, 40}), plan.moves[0].rect);
  EXPECT_EQ((Rect{200, 50, 290, 70}), plan.moves[1].rect);

  // A visible control beside the block's first row: its top is an edge at
  // the block's top, so nothing closes up.
  const std::vector<Child> beside = {
      {7, {150, 40, 290, 60}, true},
      {kFirst, {10, 40, 140, 60}, true},
      {101, {10, 70, 140, 90}, true},
      {kEnd, {200, 100, 290, 125}, true},
  };
  plan = PlanHideControls(beside, kClient, kFirst, kEnd);
  ASSERT_TRUE(plan.found);
  EXPECT_EQ(0, plan.shift);
  EXPECT_EQ((Rect{150, 40, 290, 60}), plan.moves[0].rect);

  // A block below the client area would grow the window: nothing moves.
  const std::vector<Child> below = {{kFirst, {10, 250, 140, 260}, true}, {kEnd, {10, 270, 140, 280}, true}};
  plan = PlanHideControls(below, kClient, kFirst, kEnd);
  ASSERT_TRUE(plan.found);
  EXPECT_EQ(0, plan.shift);
}

TEST(LayoutTest, HidePlanBlockOfEmptyRectangles) {
  // A separator without height starts the block; it does not widen the
  // block once a real control joins, and a second empty one keeps the run
  // going instead of clearing the block.
  const Child separator{kFirst, {10, 40, 290, 40}, true};
  const Child emptyToo{101, {10, 50, 10, 60}, true};
  const Child row{103, {10, 70, 290, 90}, true};
  const Child button{kEnd, {200, 100, 290, 125}, true};

  HidePlan plan = PlanHideControls({separator, emptyToo, row, button}, kClient, kFirst, kEnd);
  ASSERT_TRUE(plan.found);
  EXPECT_EQ((std::vector<std::size_t>{0, 1, 2}), plan.hidden);
  EXPECT_EQ((Rect{10, 70, 290, 90}), plan.block);
  EXPECT_EQ(-30, plan.shift);

  plan = PlanHideControls({separator, emptyToo, button}, kClient, kFirst, kEnd);
  ASSERT_TRUE(plan.found);
  EXPECT_EQ((std::vector<std::size_t>{0, 1}), plan.hidden);
  EXPECT_EQ(separator.rect, plan.block);
  EXPECT_EQ(-60, plan.shift);
}

// ---- Texts -----------------------------------------------------------------------

TEST(LayoutTest, LinesOfAText) {
  using Lines = std::vector<std::string>;
  const struct {
    std::string text;
    Lines lines, measured;
  } cases[] = {
      {"", {""}, {" "}},
      {"a", {"a"}, {"a"}},
      {"a\n\nb", {"a", "", "b"}, {"a", " ", "b"}},
      {"a\n", {"a", ""}, {"a", " "}},
      {"\n", {"", ""}, {" ", " "}},
      {"a\r\nb\r", {"a\r", "b\r"}, {"a\r", "b\r"}},
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}, {std::string("a\0b", 3), "c"}},
      {"\x95\x5C\n\x82\xA0", {"\x95\x5C", "\x82\xA0"}, {"\x95\x5C", "\x82\xA0"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.lines, SplitLines(c.text));
    EXPECT_EQ(c.measured, LinesToMeasure(c.text));
  }
  EXPECT_EQ((Size{30, 48}), CombineLineExtents({{10, 16}, {30, 16}, {5, 16}}));
  EXPECT_EQ((Size{0, 0}), CombineLineExtents({}));
}

TEST(LayoutTest, ComboDroppedWidth) {
  EXPECT_EQ(2 * 2 + 17, ComboDroppedWidth({}, 7, 2, 17));
  EXPECT_EQ(120 + 7 + 2 * 2 + 17, ComboDroppedWidth({50, 120, 80}, 7, 2, 17));
  EXPECT_EQ(INT_MAX, ComboDroppedWidth({INT_MAX}, INT_MAX, INT_MAX, INT_MAX));
}

}  // namespace
