#include "base/NyMultiByte.h"

#include <cstring>

#include "base/NyCodePage.h"

namespace ny::mb {

namespace {
const unsigned char* U(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

// ASCII letters only; every other byte is itself.
inline char AsciiLower(unsigned char c) {
  return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}
}  // namespace

bool IsLeadByte(unsigned char c) {
  // No double-byte code page of the system has a lead byte below 0x80, and
  // ASCII is most of what is scanned: spare the system call for it.
  return c >= 0x80 && cp::IsLeadByte(c);
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

namespace {

// Folds the character at `p` (not at the terminator) into `out`; returns
// its length in bytes. A lead byte counts as a character of its own when
// the text ends after it (`last`).
size_t FoldChar(const unsigned char* p, bool last, char* out) {
  unsigned char c = *p;
  if (c < 0x80) {
    out[0] = AsciiLower(c);
    return 1;
  }
  if (!last && p[1] && IsLeadByte(c)) {
    unsigned int lower = cp::FoldDouble((c << 8) | p[1]);
    out[0] = static_cast<char>((lower >> 8) & 0xFF);
    out[1] = static_cast<char>(lower & 0xFF);
    return 2;
  }
  out[0] = static_cast<char>(cp::FoldSingle(c));
  return 1;
}

// The folded character at `p` as one number (a double-byte character as
// (lead << 8) | trail, so above every single byte), and its length.
unsigned FoldedCode(const unsigned char* p, size_t* length) {
  char out[2];
  *length = FoldChar(p, false, out);
  unsigned first = static_cast<unsigned char>(out[0]);
  return *length == 2 ? (first << 8) | static_cast<unsigned char>(out[1]) : first;
}

// Compares at most `n` characters by their folded codes. A lead byte right
// before the terminator counts as a character of its own.
int CompareFolded(const char* a, const char* b, size_t n) {
  const unsigned char* p = U(a ? a : "");
  const unsigned char* q = U(b ? b : "");
  for (; n > 0; --n) {
    if (*p == '\0' || *q == '\0') return *p == *q ? 0 : (*p == '\0' ? -1 : 1);
    size_t lp = 0, lq = 0;
    unsigned fa = FoldedCode(p, &lp), fb = FoldedCode(q, &lq);
    if (fa != fb) return fa < fb ? -1 : 1;
    p += lp;
    q += lq;
  }
  return 0;
}

}  // namespace

int CompareAsciiNoCase(const char* a, const char* b) {
  const unsigned char* p = U(a ? a : "");
  const unsigned char* q = U(b ? b : "");
  for (;; ++p, ++q) {
    int fp = static_cast<unsigned char>(AsciiLower(*p)), fq = static_cast<unsigned char>(AsciiLower(*q));
    if (fp != fq || fp == 0) return fp - fq;
  }
}

int CompareNoCase(const char* a, const char* b) { return CompareFolded(a, b, static_cast<size_t>(-1)); }

int CompareNoCaseN(const char* a, const char* b, size_t n) { return CompareFolded(a, b, n); }

void FoldCase(const char* text, std::string& folded) {
  size_t length = text ? std::strlen(text) : 0;
  folded.resize(length);
  FoldCase(text, length, folded.data());
}

void FoldCase(const char* text, size_t length, char* out) {
  const unsigned char* p = U(text);
  for (size_t i = 0; i < length;) {
    if (p[i] < 0x80) {  // the common case, kept inline
      out[i] = AsciiLower(p[i]);
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
      out[0] = AsciiLower(*p);
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

bool IsAlpha(unsigned char c) { return cp::IsAlpha(c); }

}  // namespace ny::mb
