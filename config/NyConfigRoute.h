// The one point through which every configuration read and write of the
// typed access passes once its arguments are checked: the cache serves it
// while the cache is on, the direct reader and the uncached writer otherwise.
#pragma once

#include <cstddef>

namespace ny::config {

// Size of the working buffer a routed read fills: 1023 value bytes, the
// terminator, and one byte of slack.
constexpr size_t kRoutedValueBufferSize = 1025;

// True when the file certainly exists without asking the file system: the
// cache holds it open, so it cannot vanish.
bool RouteKnowsFileExists(const char* path);

// Looks the key up in the file at `path` into `value` (kRoutedValueBufferSize
// bytes). True when the file could be read: a missing key gives true and the
// empty text.
bool RouteRead(const char* section, const char* key, char* value, const char* path);

// Writes the value (a null or empty key removes the section's keys) to the
// file at `path`, whose folder exists.
void RouteWrite(const char* section, const char* key, const char* value, const char* path);

}  // namespace ny::config
