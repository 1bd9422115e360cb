// Between the platform's rectangles and the layout arithmetic's values.
#pragma once

#include "base/NyWindows.h"

#include "dialogs/NyLayout.h"

namespace ny::layout {

inline Rect ToLayout(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace ny::layout
