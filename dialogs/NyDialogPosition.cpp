#include "dialogs/NyDialogPosition.h"

#include <climits>

namespace ny::layout {
namespace {

// Saved positions come from a configuration file anyone may edit: sums are
// made in 64 bits and kept within 32 bits instead of overflowing.
int Clamp32(long long value) {
  return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

Rect Moved(const Rect& rc, long long dx, long long dy) {
  return {Clamp32(rc.left + dx), Clamp32(rc.top + dy), Clamp32(rc.right + dx), Clamp32(rc.bottom + dy)};
}

Rect WithTopLeft(const Rect& rc, long long x, long long y) { return Moved(rc, x - rc.left, y - rc.top); }

}  // namespace

Rect PlaceSavedDialog(const Rect& current, const SavedDialogPos& saved, bool restoreSize,
                      const std::optional<Rect>& parent, bool* changed) {
  Rect rc = current;
  bool moved = false;
  if (const std::optional<Point>& at = saved.position ? saved.position : saved.legacyTopLeft) {
    rc = WithTopLeft(rc, at->x, at->y);
    moved = true;
  }
  if (restoreSize) {
    if (saved.size) {
      rc.right = Clamp32(static_cast<long long>(rc.left) + saved.size->cx);
      rc.bottom = Clamp32(static_cast<long long>(rc.top) + saved.size->cy);
      moved = true;
    } else if (saved.legacyBottomRight) {
      rc.right = saved.legacyBottomRight->x;
      rc.bottom = saved.legacyBottomRight->y;
      moved = true;
    }
  }
  if (parent && saved.fromParent) {
    rc = WithTopLeft(rc, static_cast<long long>(parent->left) + saved.fromParent->x,
                     static_cast<long long>(parent->top) + saved.fromParent->y);
    moved = true;
  }
  if (changed) *changed = moved;
  return rc;
}

bool ClampToWorkArea(Rect& rc, const Rect& work, bool restoreSize) {
  bool acted = false;
  auto shift = [&rc, &acted](long long dx, long long dy) {
    rc = Moved(rc, dx, dy);
    acted = true;
  };
  if (rc.right > work.right) shift(static_cast<long long>(work.right) - rc.right, 0);
  if (rc.bottom > work.bottom) shift(0, static_cast<long long>(work.bottom) - rc.bottom);
  if (rc.left < work.left) shift(static_cast<long long>(work.left) - rc.left, 0);
  if (rc.top < work.top) shift(0, static_cast<long long>(work.top) - rc.top);
  if (restoreSize) {
    if (rc.right > work.right) {
      rc.right = work.right;
      acted = true;
    }
    if (rc.bottom > work.bottom) {
      rc.bottom = work.bottom;
      acted = true;
    }
  }
  return acted;
}

}  // namespace ny::layout
