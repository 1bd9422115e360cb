// Where a dialog goes when its saved position is restored, on plain values:
// the saved keys that were found, the parent's rectangle and the work area
// of the monitor the result belongs to. The window part reads the keys and
// the rectangles, calls these, and moves the window.
#pragma once

#include <optional>

#include "dialogs/NyLayout.h"

namespace ny::layout {

// The keys of a saved dialog position that were read; a pair counts only
// when both of its keys were found.
struct SavedDialogPos {
  std::optional<Point> position;           // "PositionX", "PositionY"
  std::optional<Point> legacyTopLeft;      // "left", "top": only without position
  std::optional<Size> size;                // "SizeX", "SizeY"
  std::optional<Point> legacyBottomRight;  // "right", "bottom": only without size
  std::optional<Point> fromParent;         // "PositionFromParentX", "...Y"
};

// The rectangle `current` moved (and, with restoreSize, sized) as the saved
// keys say. A parent-relative position wins over the absolute one when
// there is a parent rectangle. `changed` tells whether any key was used.
Rect PlaceSavedDialog(const Rect& current, const SavedDialogPos& saved, bool restoreSize,
                      const std::optional<Rect>& parent, bool* changed);

// `rc` brought inside the work area: shifted left and up where its right and
// bottom edges stick out, then right and down where its left and top edges
// do (so a dialog larger than the work area keeps its top-left corner
// inside), then, with restoreSize, cut at the right and bottom edges. True
// when any step acted.
bool ClampToWorkArea(Rect& rc, const Rect& work, bool restoreSize);

}  // namespace ny::layout
