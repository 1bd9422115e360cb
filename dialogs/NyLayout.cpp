#include "NyLayout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace ny::layout {

namespace {

constexpr int64_t kIntMin = std::numeric_limits<int>::min();
constexpr int64_t kIntMax = std::numeric_limits<int>::max();

// Every result goes through here: 64-bit intermediates never overflow for
// 32-bit inputs, and the result is brought back into range instead of
// wrapping.
int Clamp32(int64_t value) { return static_cast<int>(std::clamp(value, kIntMin, kIntMax)); }

struct Span {
  int low, high;
};

// One axis of an anchored rectangle: `low`/`high` say whether the top (left)
// and bottom (right) edges follow their side of the client area; `reference`
// and `client` are the client area's extents along this axis.
Span AnchoredSpan(bool low, bool high, Span original, int reference, int client) {
  const int64_t l0 = original.low, h0 = original.high;
  const int64_t length = h0 - l0;
  const int64_t movedHigh = h0 - reference + client;
  if (low && high) return {original.low, Clamp32(movedHigh)};
  if (low) return original;
  if (high) return {Clamp32(movedHigh - length), Clamp32(movedHigh)};
  // The centre keeps its relative position. Computed in this order in double,
  // as it always has been, so that rounding matches to the pixel; with a
  // reference extent of 0 there is no relative position to keep.
  if (reference == 0) return original;
  const double centre = static_cast<double>(l0 + h0) * 0.5 / reference * client;
  // |centre| <= 2^31 * 2^31: exact enough and well inside int64_t, so the
  // conversion truncates toward zero without overflow.
  const int64_t m = static_cast<int64_t>(centre);
  const int64_t top = m - length / 2;
  return {Clamp32(top), Clamp32(top + length)};
}

}  // namespace

int Rect::Width() const { return Clamp32(int64_t{right} - left); }
int Rect::Height() const { return Clamp32(int64_t{bottom} - top); }

Rect Union(const Rect& a, const Rect& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? Rect{0, 0, 0, 0} : b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

bool Contains(const Rect& rc, Point pt) {
  return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

Rect AnchoredRect(unsigned anchor, const Rect& original, const Size& reference, const Size& client) {
  const Span vertical = AnchoredSpan((anchor & kAnchorTop) != 0, (anchor & kAnchorBottom) != 0,
                                     {original.top, original.bottom}, reference.cy, client.cy);
  const Span horizontal = AnchoredSpan((anchor & kAnchorLeft) != 0, (anchor & kAnchorRight) != 0,
                                       {original.left, original.right}, reference.cx, client.cx);
  return {horizontal.low, vertical.low, horizontal.high, vertical.high};
}

void ClampTrackSizes(Point& minTrack, Point& maxTrack, const Size& minimum, const Size& maximum) {
  minTrack.x = std::max(minTrack.x, minimum.cx);
  minTrack.y = std::max(minTrack.y, minimum.cy);
  maxTrack.x = std::min(maxTrack.x, maximum.cx);
  maxTrack.y = std::min(maxTrack.y, maximum.cy);
}

int BelongingMonitor(const std::vector<Rect>& monitors, Point pt) {
  // Distance to a span's nearer edge, 0 inside it and on either edge: a point
  // on the right or bottom edge lies outside the rectangle and still has
  // distance 0, so it belongs there unless a later monitor contains it.
  auto distance = [](int value, int low, int high) -> int64_t {
    if (value < low) return int64_t{low} - value;
    if (value > high) return int64_t{value} - high;
    return 0;
  };
  int best = -1;
  int64_t bestDistance = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const Rect& rc = monitors[i];
    if (Contains(rc, pt)) return static_cast<int>(i);
    const int64_t d = distance(pt.x, rc.left, rc.right) + distance(pt.y, rc.top, rc.bottom);
    if (best < 0 || d < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = d;
    }
  }
  return best;
}

Point RectCentre(const Rect& rc) {
  // The halves of a sum of two ints always fit an int again.
  return {static_cast<int>((int64_t{rc.left} + rc.right) / 2),
          static_cast<int>((int64_t{rc.top} + rc.bottom) / 2)};
}

HidePlan PlanHideControls(const std::vector<Child>& children, const Rect& client, int idFirst, int idEnd) {
  HidePlan plan;
  std::vector<bool> hidden(children.size(), false);

  // The run: from idFirst up to idEnd, which is neither hidden nor passed
  // (so idEnd == idFirst hides nothing). The block grows by the platform's
  // union, empty rectangles not counting, with one departure: two empty
  // rectangles keep the block as it was instead of resetting it to
  // (0, 0, 0, 0), which would silently end the run after a control was
  // already hidden and report that nothing was.
  for (std::size_t i = 0; i < children.size(); ++i) {
    const Child& child = children[i];
    if (child.id == idEnd) break;
    if (child.id == idFirst) {
      plan.block = child.rect;
    } else if (!plan.block.IsAllZero()) {
      if (!(plan.block.IsEmpty() && child.rect.IsEmpty())) plan.block = Union(plan.block, child.rect);
    } else {
      continue;
    }
    hidden[i] = true;
    plan.hidden.push_back(i);
  }
  if (plan.block.IsAllZero()) return plan;
  plan.found = true;

  // The first visible edge at or below the block's top; the client area's
  // bottom when there is none. The children just hidden no longer count.
  const int blockTop = plan.block.top;
  int edge = client.bottom;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (hidden[i] || !children[i].visible) continue;
    const Rect& rc = children[i].rect;
    if (rc.top >= blockTop && rc.top < edge) edge = rc.top;
    if (rc.bottom >= blockTop && rc.bottom < edge) edge = rc.bottom;
  }
  // A block lying below the client area would give a positive shift and
  // grow the window; nothing moves then.
  plan.shift = Clamp32(std::min<int64_t>(int64_t{blockTop} - edge, 0));

  for (std::size_t i = 0; i < children.size(); ++i) {
    if (hidden[i] || !children[i].visible) continue;
    Rect rc = children[i].rect;
    if (rc.bottom < blockTop) continue;
    rc.bottom = Clamp32(int64_t{rc.bottom} + plan.shift);
    if (rc.top >= blockTop) rc.top = Clamp32(int64_t{rc.top} + plan.shift);
    plan.moves.push_back({i, rc});
  }
  return plan;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (;;) {
    const std::size_t feed = text.find('\n');
    if (feed == std::string_view::npos) break;
    lines.emplace_back(text.substr(0, feed));
    text.remove_prefix(feed + 1);
  }
  lines.emplace_back(text);
  return lines;
}

std::vector<std::string> LinesToMeasure(std::string_view text) {
  std::vector<std::string> lines = SplitLines(text);
  for (std::string& line : lines) {
    if (line.empty()) line = " ";
  }
  return lines;
}

Size CombineLineExtents(const std::vector<Size>& lineExtents) {
  int width = 0;
  int64_t height = 0;
  for (const Size& extent : lineExtents) {
    width = std::max(width, extent.cx);
    height += extent.cy;
  }
  return {width, Clamp32(height)};
}

int ComboDroppedWidth(const std::vector<int>& textWidths, int averageCharWidth, int edgeWidth,
                      int scrollWidth) {
  int64_t largest = 0;
  for (int width : textWidths) largest = std::max(largest, int64_t{width} + averageCharWidth);
  return Clamp32(largest + 2 * int64_t{edgeWidth} + scrollWidth);
}

}  // namespace ny::layout
