// Fixed-size path buffers: every path the library keeps or builds fits in
// MAX_PATH bytes with its terminator. Texts that do not fit are refused
// before anything is written.
#pragma once

#include "base/NyWindows.h"

#include <cstring>
#include <initializer_list>

namespace ny {

// True for a non-null text shorter than MAX_PATH bytes.
inline bool FitsPath(const char* text) { return text && strnlen(text, MAX_PATH) < MAX_PATH; }

// Copies `text` into a MAX_PATH buffer; false (nothing written) when it does not fit.
inline bool CopyPath(char* buffer, const char* text) {
  if (!FitsPath(text)) return false;
  std::memmove(buffer, text, std::strlen(text) + 1);
  return true;
}

// Writes the texts one after the other into `buffer` of `size` bytes; false,
// with the buffer emptied, when one is null or they do not fit. Paths and
// keys are built on hot paths: plain copying, not a formatter.
inline bool Concat(char* buffer, size_t size, std::initializer_list<const char*> parts) {
  size_t n = 0;
  for (const char* part : parts) {
    if (!part) n = size;
    for (const char* p = part; n < size && *p; ++p) buffer[n++] = *p;
    if (n >= size) {
      buffer[0] = '\0';
      return false;
    }
  }
  buffer[n] = '\0';
  return true;
}

// Joins folder and name as "folder\name" into a MAX_PATH buffer; false, with
// the buffer emptied, when either is null or the result would not fit.
inline bool JoinPath(char* buffer, const char* folder, const char* name) {
  return Concat(buffer, MAX_PATH, {folder, "\\", name});
}

}  // namespace ny
