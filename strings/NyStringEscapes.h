// The backslash escapes of string-pool values.
#pragma once

#include <cstddef>

namespace ny::strings {

// Writes `value` with its escapes resolved into `out` (`size` bytes, the
// text cut to fit): \0 ends the text, \\ \n \r \t give a backslash, line
// feed, carriage return and tab, a backslash before any other single-byte
// character is dropped, and so is one before a double-byte character or at
// the very end. The second byte of a double-byte character is never taken
// for a backslash.
void ResolveEscapes(const char* value, char* out, size_t size);

}  // namespace ny::strings
