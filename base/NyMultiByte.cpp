#include "base/NyMultiByte.h"

#include "base/NyWindows.h"

#include <mbctype.h>
#include <mbstring.h>

#include <cctype>
#include <cstring>

namespace ny::mb {

namespace {
const unsigned char* U(const char* s) { return reinterpret_cast<const unsigned char*>(s); }
}  // namespace

bool IsLeadByte(unsigned char c) {
  // No double-byte code page of the system has a lead byte below 0x80, and
  // ASCII is most of what is scanned: spare the system call for it.
  if (c < 0x80) return false;
  // CP_THREAD_ACP: follows the thread's locale, as the host expects of every scan.
  return ::IsDBCSLeadByteEx(CP_THREAD_ACP, c) != FALSE;
}

size_t CharLength(const char* p) {
  if (*p == '\0') return 0;
  return (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') ? 2 : 1;
}

const char* LastChar(const char* text) {
  if (!text || !*text) return nullptr;
  const char* last = text;
  for (const char* p = text; *p; p += CharLength(p)) last = p;
  return last;
}

bool EndsWithChar(const char* text, char c) {
  const char* last = LastChar(text);
  return last && last[0] == c && last[1] == '\0';
}

const char* FindLastOf(const char* text, const char* set) {
  if (!text) return nullptr;
  const char* found = nullptr;
  for (const char* p = text; *p; p += CharLength(p)) {
    if (CharLength(p) == 1 && std::strchr(set, *p)) found = p;
  }
  return found;
}

const char* FindFirstOf(const char* text, const char* set) {
  if (!text) return nullptr;
  for (const char* p = text; *p; p += CharLength(p)) {
    if (CharLength(p) == 1 && std::strchr(set, *p)) return p;
  }
  return nullptr;
}

int CompareNoCase(const char* a, const char* b) { return _mbsicmp(U(a ? a : ""), U(b ? b : "")); }

int CompareNoCaseN(const char* a, const char* b, size_t n) {
  return _mbsnicmp(U(a ? a : ""), U(b ? b : ""), n);
}

namespace {

// Folds the character at `p` (not at the terminator) into `out`; returns
// its length in bytes. A lead byte counts as a character of its own when
// the text ends after it (`last`).
size_t FoldChar(const unsigned char* p, bool last, char* out) {
  unsigned char c = *p;
  if (c < 0x80) {
    out[0] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return 1;
  }
  if (!last && p[1] && IsLeadByte(c)) {
    unsigned int lower = _mbctolower((c << 8) | p[1]);
    out[0] = static_cast<char>((lower >> 8) & 0xFF);
    out[1] = static_cast<char>(lower & 0xFF);
    return 2;
  }
  out[0] = static_cast<char>(std::tolower(c));
  return 1;
}

}  // namespace

void FoldCase(const char* text, std::string& folded) {
  size_t length = text ? std::strlen(text) : 0;
  folded.resize(length);
  FoldCase(text, length, folded.data());
}

void FoldCase(const char* text, size_t length, char* out) {
  const unsigned char* p = U(text);
  for (size_t i = 0; i < length;) {
    if (p[i] < 0x80) {  // the common case, kept inline
      out[i] = static_cast<char>(p[i] >= 'A' && p[i] <= 'Z' ? p[i] + ('a' - 'A') : p[i]);
      ++i;
      continue;
    }
    // A lead byte as the last byte asked for folds alone: the fold never
    // reads or writes past `length`.
    i += FoldChar(p + i, i + 1 == length, out + i);
  }
}

bool FoldsTo(const char* text, size_t length, std::string_view folded) {
  if (!text) return folded.empty();
  const unsigned char* p = U(text);
  const char* expected = folded.data();
  size_t left = folded.size();
  char out[2];
  for (; length > 0 && *p;) {
    size_t n = 1;
    if (*p < 0x80) {
      out[0] = static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p + ('a' - 'A') : *p);
    } else {
      n = FoldChar(p, length == 1, out);
    }
    if (n > left || out[0] != expected[0] || (n == 2 && out[1] != expected[1])) return false;
    expected += n;
    left -= n;
    p += n;
    length -= n;
  }
  return left == 0;
}

bool IsAlpha(unsigned char c) { return _ismbcalpha(c) != 0; }

}  // namespace ny::mb
