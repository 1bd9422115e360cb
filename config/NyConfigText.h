// The line rules of configuration files, on narrow ANSI lines that the file
// reader has already converted and stripped of their line end. No file access
// here: the readers and the cache feed lines in.
//
// A section header line has "[" as its first non-blank character. A key line
// starts in the first column with the key, which runs to the first blank or
// "="; then comes a run of blanks and "=" holding at least one "="; the value
// is the rest up to its last non-blank byte. Every other line carries no data.
#pragma once

#include <cstddef>

namespace ny::config {

// The longest value a configuration file can hold; longer ones are cut.
constexpr size_t kMaxValueBytes = 1023;
// Size of the key and value buffers that ParseKeyValueLine fills.
constexpr size_t kLineFieldBufferSize = 1294;

// True when the first non-blank character of `line` is "[".
bool IsSectionLine(const char* line);

// Splits a key line into key and value, strips the value's quotation marks
// and returns true. Both buffers (kLineFieldBufferSize bytes) are emptied
// first. False for every line that is not a key line, and for a key too long
// for its buffer. The value is cut to kMaxValueBytes bytes.
bool ParseKeyValueLine(const char* line, char* key, char* value);

// True for a key line of any length, even one whose key ParseKeyValueLine
// refuses for its size.
bool IsKeyLine(const char* line);

// Removes one pair of matching quotation marks (both " or both ') around a
// text of at least two characters, in place.
void StripQuotes(char* text);

// The direct reader's header test: true when `line` is a header line whose
// text after the "[" starts with `section` (ignoring case) followed by "]".
// Blanks before the "[" and text after the "]" are allowed.
bool IsHeaderOfSection(const char* line, const char* section);

// The direct reader's key test: when `line` starts in its first column with
// `key` (ignoring case), followed by blanks and "=" holding at least one "="
// and a non-empty rest, copies that rest up to its last non-blank byte, cut to
// `size` - 1 bytes, into `value`, strips its quotes and returns true.
bool MatchKeyLine(const char* line, const char* key, char* value, size_t size);

}  // namespace ny::config
