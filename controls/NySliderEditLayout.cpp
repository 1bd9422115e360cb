#include "controls/NySliderEditLayout.h"

#include <climits>
#include <cstdint>

#include "dialogs/NyDialogPosition.h"

namespace ny::controls {

using ny::layout::Point;
using ny::layout::Rect;
using ny::layout::Size;

namespace {

// Sums are made in 64 bits and brought back into range instead of wrapping,
// so that nonsensical sizes or positions cannot overflow.
int Clamp32(int64_t value) {
  return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

Rect Moved(const Rect& rc, int64_t dx, int64_t dy) {
  return {Clamp32(rc.left + dx), Clamp32(rc.top + dy), Clamp32(rc.right + dx), Clamp32(rc.bottom + dy)};
}

}  // namespace

std::optional<DropButtonLayout> LayOutDropButton(const Rect& edit) {
  const int64_t r = int64_t{edit.right} - kDropRoom;
  if (r <= 0) return std::nullopt;
  DropButtonLayout layout;
  layout.edit = {edit.left, edit.top, static_cast<int>(r), edit.bottom};
  layout.button = {static_cast<int>(r + kDropGap), edit.top, edit.right, edit.bottom};
  return layout;
}

Rect PlaceSliderPopup(const Size& slider, const Rect& thumb, const Point& cursor, const Rect& button,
                      const std::optional<Rect>& work) {
  const Rect grown{-kPopupFrame, -kPopupFrame, Clamp32(int64_t{slider.cx} + kPopupFrame),
                   Clamp32(int64_t{slider.cy} + kPopupFrame)};
  const int64_t dx = int64_t{cursor.x} - ny::layout::RectCentre(thumb).x;
  Rect rc = Moved(grown, dx, button.bottom);
  if (!work) return rc;
  if (rc.bottom > work->bottom) {
    const Rect above = Moved(grown, dx, int64_t{button.top} - slider.cy);
    if (above.top >= work->top) rc = above;
  }
  ny::layout::ClampToWorkArea(rc, *work, false);
  return rc;
}

}  // namespace ny::controls
