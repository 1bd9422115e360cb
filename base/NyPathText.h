// Fixed-size path buffers: every path the library keeps or builds fits in
// kMaxPath (the platform's MAX_PATH) bytes with its terminator. Texts that
// do not fit are refused before anything is written. The path text rules
// (extensions, the split into folder and name) work on such buffers.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace ny {

constexpr size_t kMaxPath = 260;

// True for a non-null text shorter than kMaxPath bytes.
inline bool FitsPath(const char* text) { return text && strnlen(text, kMaxPath) < kMaxPath; }

// Copies `text` into a kMaxPath buffer; false (nothing written) when it does not fit.
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

// Joins folder and name as "folder\name" into a kMaxPath buffer; false, with
// the buffer emptied, when either is null or the result would not fit.
inline bool JoinPath(char* buffer, const char* folder, const char* name) {
  return Concat(buffer, kMaxPath, {folder, "\\", name});
}

namespace path {

// The text after the last dot of `path` (a kMaxPath text) into `extension`
// (a kMaxPath buffer); false, nothing written, without a dot.
bool GetExtension(const char* path, char* extension);

// `path` with ".extension" appended into `output` (a kMaxPath buffer),
// unless it already ends in that extension (compared without case: ASCII
// letters only, or multibyte-aware with `multibyte`); false, nothing
// written, for null texts or a result that would not fit.
bool AddExtension(const char* path, const char* extension, char* output, bool multibyte);

// `path` into `output` (a kMaxPath buffer) without its last extension, when
// it has one and it is `extension` (any extension for a null or empty one);
// false when there is nothing to remove, `output` then holds the path.
bool DelExtension(const char* path, const char* extension, char* output, bool multibyte);

// Splits `path` at its last separator into the folder before it and the
// name after it (each into a kMaxPath buffer, either may be null); false,
// nothing written, for a null, empty or over-long path.
bool SplitFileName(const char* path, char* folder, char* fileName);

// Removes one trailing backslash (never the second byte of a character).
void EraseLastBackSlash(char* text);

}  // namespace path

}  // namespace ny
