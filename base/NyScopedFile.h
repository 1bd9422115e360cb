// RAII ownership of C runtime streams: a stream opened here is closed on
// every path out of its scope, early returns and exceptions included.
#pragma once

#include <cstdio>
#include <memory>

namespace ny {

struct FileCloser {
  void operator()(FILE* stream) const { std::fclose(stream); }
};

using ScopedFile = std::unique_ptr<FILE, FileCloser>;

// Opens `path` with fopen_s in `mode`; null when it cannot be opened.
inline ScopedFile OpenScopedFile(const char* path, const char* mode) {
  FILE* stream = nullptr;
  if (fopen_s(&stream, path, mode) != 0) return nullptr;
  return ScopedFile(stream);
}

}  // namespace ny
