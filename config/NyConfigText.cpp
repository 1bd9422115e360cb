#include "config/NyConfigText.h"

#include <cstring>

#include "base/NyMultiByte.h"

namespace ny::config {

namespace {

bool IsBlank(char c) { return ny::mb::IsBlank(static_cast<unsigned char>(c)); }

const char* SkipBlanks(const char* p) {
  while (*p && IsBlank(*p)) ++p;
  return p;
}

// Length of `text` up to and including its last non-blank byte. Blanks are
// single bytes below 0x40, so they are never the second byte of a character.
size_t TrimmedLength(const char* text) {
  size_t n = std::strlen(text);
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return n;
}

// Copies the first `n` bytes of `text` (fewer when `size` is smaller) and
// terminates. A cut may leave a lone lead byte at the end; readers of the
// value step with CharLength, which never runs past the terminator.
void CopyCut(char* out, size_t size, const char* text, size_t n) {
  if (n > size - 1) n = size - 1;
  std::memcpy(out, text, n);
  out[n] = '\0';
}

size_t CharCount(const char* text) {
  size_t count = 0;
  for (const char* p = text; *p; p += ny::mb::CharLength(p)) ++count;
  return count;
}

// After a key: skips blanks and "="; null unless at least one "=" was there
// and something other than blanks follows.
const char* ValueAfterSeparator(const char* p) {
  bool sawEquals = false;
  for (; *p && (IsBlank(*p) || *p == '='); ++p) sawEquals |= (*p == '=');
  return (sawEquals && *p) ? p : nullptr;
}

// The end of a key line's key and the start of its value (null for any
// other line). The key runs to the first blank or "="; a line that starts
// with either has an empty key, and one that starts with a blank then fails
// for want of an "=" before its first word.
const char* SplitKeyLine(const char* line, size_t& keyLength) {
  const char* p = line;
  while (*p && !IsBlank(*p) && *p != '=') p += ny::mb::CharLength(p);
  keyLength = static_cast<size_t>(p - line);
  return ValueAfterSeparator(p);
}

}  // namespace

bool IsSectionLine(const char* line) { return line && *SkipBlanks(line) == '['; }

bool IsKeyLine(const char* line) {
  size_t keyLength = 0;
  return line && SplitKeyLine(line, keyLength);
}

bool ParseKeyValueLine(const char* line, char* key, char* value) {
  key[0] = '\0';
  value[0] = '\0';
  if (!line) return false;
  size_t keyLength = 0;
  const char* rest = SplitKeyLine(line, keyLength);
  if (!rest || keyLength >= kLineFieldBufferSize) return false;
  std::memcpy(key, line, keyLength);
  key[keyLength] = '\0';
  size_t n = TrimmedLength(rest);
  CopyCut(value, kMaxValueBytes + 1, rest, n);
  StripQuotes(value);
  return true;
}

void StripQuotes(char* text) {
  if (!text) return;
  char quote = text[0];
  if (quote != '"' && quote != '\'') return;
  const char* last = ny::mb::LastChar(text);
  // Two characters at least: a lone quotation mark stays as it is.
  if (last == text || last[0] != quote || last[1] != '\0') return;
  size_t inner = static_cast<size_t>(last - text) - 1;
  std::memmove(text, text + 1, inner);
  text[inner] = '\0';
}

bool IsHeaderOfSection(const char* line, const char* section) {
  if (!line || !section) return false;
  const char* p = SkipBlanks(line);
  if (*p != '[') return false;
  ++p;
  size_t length = std::strlen(section);
  if (strnlen(p, length + 1) < length + 1) return false;
  // Letters that fold onto each other take the same number of bytes, so a
  // match of the name's characters covers exactly its bytes.
  return ny::mb::CompareNoCaseN(p, section, CharCount(section)) == 0 && p[length] == ']';
}

bool MatchKeyLine(const char* line, const char* key, char* value, size_t size) {
  if (!line || !key || !*key || !value || size == 0) return false;
  size_t length = std::strlen(key);
  if (strnlen(line, length) < length) return false;
  if (ny::mb::CompareNoCaseN(line, key, CharCount(key)) != 0) return false;
  const char* rest = ValueAfterSeparator(line + length);
  if (!rest) return false;
  CopyCut(value, size, rest, TrimmedLength(rest));
  StripQuotes(value);
  return true;
}

}  // namespace ny::config
