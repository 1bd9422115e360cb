// The one point through which every configuration read and write of the
// typed access passes once its arguments are checked: the cache serves it
// while the cache is on, the direct reader and the uncached writer otherwise.
#pragma once

namespace ny::config {

// Looks the key up in the file at `path` into `value` (1024 bytes at
// least): the empty text for a missing key and for a file that exists but
// cannot be read. False, with nothing read, when nothing exists at the path.
// Each read of an existing file is counted (1) before it is made.
bool RouteRead(const char* section, const char* key, char* value, const char* path);

// Writes the value (a null or empty key removes the section's keys) to the
// file at `path`, whose folder exists.
void RouteWrite(const char* section, const char* key, const char* value, const char* path);

}  // namespace ny::config
