// The ids of the running processes, for the clean-ups that keep the folders
// of live processes (temporary folders, flag-log work areas), and the prefix
// those folders are named by.
#pragma once

#include "base/NyWindows.h"

#include <vector>

namespace ny::files {

// The name prefix of the per-process folders: the temporary folders and the
// flag log's work folders. Both clean-ups recognise their folders by it, at
// the very start of a name and in this letter case.
constexpr const char* kProcessFolderPrefix = "QND_TMP_FOLDER";

// Every running process's id. The list grows until the platform leaves part
// of it unused: a full buffer may have cut the list short, and a live process
// missing from it would lose its folder. False when the list cannot be read.
bool RunningProcessIds(std::vector<DWORD>& ids);

}  // namespace ny::files
