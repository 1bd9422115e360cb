// The library's own texts (folder picker title, the text-input dialog's
// buttons and warning), in the language the platform's loader picks for
// the user interface.
#pragma once

#include "NyToolkit.h"

namespace ny::dialogs {

enum LibraryStringId : UINT {
  kSelectFolder = 1,
  kOk = 2,
  kCancel = 3,
  kNoText = 4,
};

// The text in UTF-16, as the resource holds it; empty when it cannot be
// loaded.
CStringW LibraryStringW(UINT id);
// In the system code page; `fallback` when it cannot be loaded.
CString LibraryString(UINT id, const char* fallback);

}  // namespace ny::dialogs
