// Fixed-size path buffers: every path the library keeps or builds fits in
// MAX_PATH bytes with its terminator. Texts that do not fit are refused
// before anything is written.
#pragma once

#include <cstring>

#include "toolkit/NyWindows.h"

namespace ny {

// True for a non-null text shorter than MAX_PATH bytes.
inline bool FitsPath(const char* text) {
  return text && strnlen(text, MAX_PATH) < MAX_PATH;
}

// Copies `text` into a MAX_PATH buffer; false (nothing written) when it does not fit.
inline bool CopyPath(char* buffer, const char* text) {
  if (!FitsPath(text)) return false;
  std::memmove(buffer, text, std::strlen(text) + 1);
  return true;
}

}  // namespace ny
