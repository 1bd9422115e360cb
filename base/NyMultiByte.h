// The library's multibyte rules, in one place. Texts are narrow texts in the
// system ANSI code page, which may be a double-byte code page (932 on the
// maker's systems): a lead byte and the byte after it form one character, and
// the second byte may have the value of '\\', '/', ':' or '.'. Every scan of a
// path or a configuration line steps with these functions so that such a
// second byte is never taken for a separator.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ny::mb {

// True when `c` is a lead byte in the ANSI code page (the calling thread's,
// in the DLL; see NyCodePage.h).
bool IsLeadByte(unsigned char c);

// Bytes taken by the character at `p`: 2 for a lead byte followed by a byte,
// 1 otherwise (also for a lead byte right before the terminator, so that a
// walk never steps over the end of the text). 0 at the terminator.
size_t CharLength(const char* p);

// The start of the last character of `text`, or null for a null or empty text.
const char* LastChar(const char* text);

// True when the last character of `text` is the single-byte character `c`.
bool EndsWithChar(const char* text, char c);

// The last single-byte character of `text` that is one of `set`, or null.
// Second bytes of double-byte characters are never matched.
const char* FindLastOf(const char* text, const char* set);

// The first single-byte character of `text` that is one of `set`, or null.
const char* FindFirstOf(const char* text, const char* set);

// The path separators: backslash, slash and the drive colon.
constexpr const char* kSeparators = "\\/:";

// Case-insensitive comparisons, character by character, each folded as
// FoldCase folds it, ordered by the folded character codes (a double-byte
// character as (lead << 8) | trail); n counts characters. On well-formed
// texts they find equal what the C runtime's _mbsicmp and _mbsnicmp find
// equal, and in a double-byte code page they order alike. A lead byte right
// before the terminator is a character of its own. Null pointers count as
// the empty text.
int CompareNoCase(const char* a, const char* b);
int CompareNoCaseN(const char* a, const char* b, size_t n);

// Compares ignoring the case of ASCII letters only, byte by byte (the
// runtime's _stricmp in the C locale). Null pointers count as the empty text.
int CompareAsciiNoCase(const char* a, const char* b);

// `text` with every character put in lower case the way CompareNoCase
// compares them (ASCII letters, the runtime's locale for other single bytes,
// its multibyte mapping for double-byte characters), so that two texts fold
// to the same bytes exactly when CompareNoCase finds them equal. Lets callers
// hash names case-insensitively. Replaces the contents of `folded`.
void FoldCase(const char* text, std::string& folded);

// The same fold of the first `length` bytes of `text` (which has no
// terminator before them) into the `length` bytes at `out`, for callers that
// keep the result in a buffer of their own. Folding keeps the length of
// every character, so the folded text is exactly as long as the text.
void FoldCase(const char* text, size_t length, char* out);

// True when `text`, up to its terminator or its first `length` bytes, folds
// to exactly `folded` (a FoldCase result), without building the copy.
bool FoldsTo(const char* text, size_t length, std::string_view folded);

// The blank test of configuration lines: space and the control characters
// 9 to 13, byte by byte (a double-byte space is not blank).
inline bool IsBlank(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

// The multibyte-aware letter test of the C runtime (_ismbcalpha) on one byte.
bool IsAlpha(unsigned char c);

}  // namespace ny::mb
