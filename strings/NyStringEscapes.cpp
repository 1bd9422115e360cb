#include "strings/NyStringEscapes.h"

#include "base/NyMultiByte.h"

namespace ny::strings {

namespace {

char Escaped(char c) {
  switch (c) {
    case '0':
      return '\0';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return c;  // the backslash itself among them
  }
}

}  // namespace

void ResolveEscapes(const char* value, char* out, size_t size) {
  if (size == 0) return;
  size_t n = 0;
  bool pending = false;
  for (const char* p = value ? value : ""; *p && n + 1 < size;) {
    size_t length = ny::mb::CharLength(p);
    if (length == 2) {
      if (n + 2 >= size) break;  // never half a character
      out[n++] = p[0];
      out[n++] = p[1];
      pending = false;
    } else if (!pending && *p == '\\') {
      pending = true;
    } else if (pending) {
      pending = false;
      char c = Escaped(*p);
      if (c == '\0') break;
      out[n++] = c;
    } else {
      out[n++] = *p;
    }
    p += length;
  }
  out[n] = '\0';
}

}  // namespace ny::strings
