// The arithmetic of the resize helper and of the window and monitor
// utilities, on plain values: anchored rectangles, tracking-size limits, the
// monitor a point belongs to, the hide-and-shift plan for a run of controls,
// multi-line text extents and the combo box's drop-down width. Nothing here
// calls the platform; the window classes read the geometry, call these, and
// apply the result.
//
// Coordinates are signed 32-bit as the platform's are. Intermediate results
// are computed in 64 bits (or double), and a result that would not fit in 32
// bits, which only nonsensical input produces, is clamped to the nearest
// 32-bit value instead of overflowing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ny::layout {

struct Point {
  int x, y;
};

struct Size {
  int cx, cy;
};

struct Rect {
  int left, top, right, bottom;

  int Width() const;
  int Height() const;
  // (0, 0, 0, 0): the "nothing yet" value of the hide plan's block.
  bool IsAllZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  // No width or no height, as the platform's rectangle functions judge it.
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const Point& a, const Point& b) { return !(a == b); }
inline bool operator==(const Size& a, const Size& b) { return a.cx == b.cx && a.cy == b.cy; }
inline bool operator!=(const Size& a, const Size& b) { return !(a == b); }
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

// The union as the platform's UnionRect forms it: an empty rectangle (no
// width or no height) does not count, and two empty ones give (0, 0, 0, 0).
Rect Union(const Rect& a, const Rect& b);

// Left and top edges inside, right and bottom edges outside (PtInRect).
bool Contains(const Rect& rc, Point pt);

// ---- Anchors ---------------------------------------------------------------------

// The edges of the client area that a control's edges follow; other bits are
// ignored.
constexpr unsigned kAnchorTop = 0x1;
constexpr unsigned kAnchorBottom = 0x2;
constexpr unsigned kAnchorLeft = 0x4;
constexpr unsigned kAnchorRight = 0x8;

// The rectangle of a control anchored with `anchor` while it lay at `original`
// in a client area of size `reference`, once the client area has size
// `client`. Per axis: both bits stretch it, one bit keeps its distance to that
// edge, neither keeps its size and its centre's relative position (the centre
// (a + b) * 0.5 / reference * client in double, truncated toward zero). An
// axis whose reference size is 0 cannot place a centre: that axis keeps its
// original coordinates.
Rect AnchoredRect(unsigned anchor, const Rect& original, const Size& reference, const Size& client);

// Raises the minimum tracking size to `minimum` and lowers the maximum one to
// `maximum`, each coordinate on its own (outer window sizes).
void ClampTrackSizes(Point& minTrack, Point& maxTrack, const Size& minimum, const Size& maximum);

// ---- Monitors --------------------------------------------------------------------

// The index, in enumeration order, of the first monitor rectangle that
// contains `pt`; when none does, of the one with the smallest horizontal plus
// vertical distance to `pt` (the first of equals). -1 for an empty list.
int BelongingMonitor(const std::vector<Rect>& monitors, Point pt);

// The centre of `rc`, each coordinate halved with truncation toward zero.
Point RectCentre(const Rect& rc);

// ---- Hiding a run of controls ----------------------------------------------------

// A child window as the hide plan sees it: its control id, its rectangle in
// the parent's client coordinates and whether it is visible now.
struct Child {
  int id;
  Rect rect;
  bool visible;
};

// A child's new place: `index` into the children handed to the plan.
struct ChildMove {
  std::size_t index;
  Rect rect;
};

struct HidePlan {
  // False when the block stayed (0, 0, 0, 0): nothing is moved and the window
  // keeps its size. The children in `hidden` are still to be hidden.
  bool found = false;
  // Indexes of the children to hide, in child order.
  std::vector<std::size_t> hidden;
  // The hidden block: the smallest rectangle holding the non-empty rectangles
  // hidden, or the first hidden one while none of them is non-empty.
  Rect block{0, 0, 0, 0};
  // Added to the moved children's edges and to the window's bottom; <= 0.
  int shift = 0;
  // The visible children that reach down to the block, with their new
  // rectangles (left and right unchanged), in child order.
  std::vector<ChildMove> moves;
};

// Plans hiding the children from the one with id `idFirst` up to (not
// including) the one with id `idEnd` or to the last child, in child order,
// and closing the gap: the first visible edge at or below the block's top
// moves up to it, and so do the visible children below (a child straddling
// the block's top is shortened). `client` is the parent's client rectangle.
HidePlan PlanHideControls(const std::vector<Child>& children, const Rect& client, int idFirst, int idEnd);

// ---- Text extents ----------------------------------------------------------------

// The lines of `text`, split at every line feed; the part after the last line
// feed is a line even when empty, and carriage returns stay in the lines.
std::vector<std::string> SplitLines(std::string_view text);

// The texts to measure for `text`: its lines, an empty one replaced by " " so
// that it still has a line's height.
std::vector<std::string> LinesToMeasure(std::string_view text);

// The extent of a multi-line text from its lines' extents: the widest line's
// width and the sum of the heights.
Size CombineLineExtents(const std::vector<Size>& lineExtents);

// ---- Combo box -------------------------------------------------------------------

// The drop-down width that fits the widest item: the largest text width plus
// the average character width, plus both edges and the vertical scroll bar.
// Without items, just the edges and the scroll bar.
int ComboDroppedWidth(const std::vector<int>& textWidths, int averageCharWidth, int edgeWidth,
                      int scrollWidth);

}  // namespace ny::layout
