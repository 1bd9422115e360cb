// Fixed-size path buffers: every path the library keeps or builds fits in
// MAX_PATH bytes with its terminator. Texts that do not fit are refused
// before anything is written.
#pragma once

#include <cstdio>
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

// Joins folder and name as "folder\name" into a MAX_PATH buffer; false, with
// the buffer emptied, when either is null or the result would not fit.
inline bool JoinPath(char* buffer, const char* folder, const char* name) {
  buffer[0] = '\0';
  if (!folder || !name) return false;
  int n = std::snprintf(buffer, MAX_PATH, "%s\\%s", folder, name);
  if (n < 0 || n >= MAX_PATH) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace ny
