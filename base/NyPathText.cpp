// The path text rules. Every scan steps over double-byte characters through
// the multibyte module, so that a second byte of 0x5C is never a separator.
#include "base/NyPathText.h"

#include <cstdio>

#include "base/NyMultiByte.h"

namespace ny::path {

namespace {

// The non-T forms fold single bytes only, the T forms compare multibyte-aware.
int Compare(const char* a, const char* b, bool multibyte) {
  return multibyte ? mb::CompareNoCase(a, b) : mb::CompareAsciiNoCase(a, b);
}

}  // namespace

bool GetExtension(const char* path, char* extension) {
  if (!path || !extension || !FitsPath(path)) return false;
  const char* dot = mb::FindLastOf(path, ".");
  if (!dot) return false;
  std::memmove(extension, dot + 1, std::strlen(dot + 1) + 1);
  return true;
}

bool AddExtension(const char* path, const char* extension, char* output, bool multibyte) {
  if (!path || !extension || !output) return false;
  char work[kMaxPath];
  if (!CopyPath(work, path)) return false;
  const char* dot = mb::FindLastOf(work, ".");
  if (dot && Compare(dot + 1, extension, multibyte) == 0) {
    std::memmove(output, work, std::strlen(work) + 1);
    return true;
  }
  int n = std::snprintf(nullptr, 0, "%s.%s", work, extension);
  if (n < 0 || n >= static_cast<int>(kMaxPath)) return false;
  std::snprintf(output, kMaxPath, "%s.%s", work, extension);
  return true;
}

bool DelExtension(const char* path, const char* extension, char* output, bool multibyte) {
  if (!path || !output) return false;
  if (!CopyPath(output, path)) return false;
  if (!*output) return false;
  char* dot = const_cast<char*>(mb::FindLastOf(output, "."));
  if (!dot) return false;
  if (extension && *extension && Compare(dot + 1, extension, multibyte) != 0) return false;
  // A separator after the dot means the dot belongs to a folder name.
  if (mb::FindFirstOf(dot + 1, mb::kSeparators)) return false;
  *dot = '\0';
  return true;
}

bool SplitFileName(const char* path, char* folder, char* fileName) {
  // Both parts must fit the callers' kMaxPath buffers, so a path of 260
  // bytes or more is refused like a null or empty one.
  if (!path || !*path || !FitsPath(path)) return false;
  const char* sep = mb::FindLastOf(path, mb::kSeparators);
  size_t folderLength = sep ? static_cast<size_t>(sep - path) : 0;
  const char* name = sep ? sep + 1 : path;
  if (fileName) std::memmove(fileName, name, std::strlen(name) + 1);
  if (folder) {
    std::memmove(folder, path, folderLength);
    folder[folderLength] = '\0';
  }
  return true;
}

void EraseLastBackSlash(char* text) {
  if (mb::EndsWithChar(text, '\\')) text[std::strlen(text) - 1] = '\0';
}

}  // namespace ny::path
