// The module of this DLL, for the resources that only the library carries
// (its dialog template and texts, and its own bitmaps).
#pragma once

#include "base/NyWindows.h"

namespace ny {

HMODULE LibraryModule();

}  // namespace ny
