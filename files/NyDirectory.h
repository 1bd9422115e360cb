// The folder-tree steps that the temporary-folder clean-up shares with
// NyRemoveDirectoryT: one listing and one tree removal in the library.
#pragma once

#include "base/NyWindows.h"

#include <string>
#include <vector>

namespace ny::files {

struct Entry {
  std::string name;
  DWORD attributes;
  bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // A symbolic link or junction: never listed or entered.
  bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// The entries of `folder` matching `pattern` ("*" for all), without "." and
// "..", in the order the platform lists them. False when the listing cannot
// start (a missing folder, say), with `entries` empty.
bool ListFolder(const char* folder, const char* pattern, std::vector<Entry>& entries);

// Removes the folder tree at `path`: every file, every sub-folder the same
// way, then the folder itself; true exactly when the folder is gone. What
// cannot be deleted stays, with its chain of folders. A link (the path itself
// or any entry below it) is removed as a link, never entered. An empty path
// and a path that resolves to a drive or share root remove nothing (false).
bool RemoveTree(const char* path);

}  // namespace ny::files
