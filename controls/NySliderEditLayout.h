// Where the slider edit's drop button and pop-up go, on plain values. The
// control reads the rectangles and the cursor, calls these, and moves its
// windows; nothing here calls the platform.
#pragma once

#include <optional>

#include "dialogs/NyLayout.h"

namespace ny::controls {

// The drop button's width and the room it takes from the edit box: the
// box's right edge moves in by kDropRoom, and the button sits kDropGap
// pixels right of it, reaching the box's old right edge.
constexpr int kDropRoom = 18;
constexpr int kDropGap = 2;
// The pop-up's window rectangle is the slider's grown by this on every
// side: room for the frame of a pop-up with a dialog-modal frame.
constexpr int kPopupFrame = 3;

struct DropButtonLayout {
  ny::layout::Rect edit;    // the edit box, narrowed
  ny::layout::Rect button;  // the drop button, as high as the box
};

// The narrowed edit box and its button, from the box's rectangle in its
// parent's client coordinates; nothing when the box lies so far left that
// its new right edge would not be greater than 0 (no button then).
std::optional<DropButtonLayout> LayOutDropButton(const ny::layout::Rect& edit);

// The pop-up's window rectangle in screen coordinates: the slider's client
// rectangle (0, 0, slider) grown by kPopupFrame, its thumb centre (`thumb`
// in slider coordinates, halved with truncation) under the cursor's x, its
// top edge at the button's bottom. With a work area it is then kept on it:
// when it would stick out below and fits above the button, it opens upwards
// instead (its bottom at the button's top); what still sticks out is
// shifted in, the left and top edges winning over the right and bottom ones.
// The thumb is then no longer under the cursor, and the slider's first drag
// step catches up with the pointer.
ny::layout::Rect PlaceSliderPopup(const ny::layout::Size& slider, const ny::layout::Rect& thumb,
                                  const ny::layout::Point& cursor, const ny::layout::Rect& button,
                                  const std::optional<ny::layout::Rect>& work);

}  // namespace ny::controls
