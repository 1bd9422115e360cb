// The crash handler's dump folder: file names and the trimming rule, on
// texts alone so that they are tested without a folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ny::crash {

// The number of dump and log files a folder keeps.
constexpr size_t kKeptDumpFiles = 100;

// The time-stamp key of a dump or log file ("*.dmp" or "*.log", any case):
// the signed decimal number at the start of what follows the last '_' of the
// path without its extension (the whole path when it has no '_'), 0 when
// there is none. False for any other file.
bool DumpFileKey(const char* path, long long* key);
// The entries of `paths` (in the order the folder listing found them) to
// delete so that at most `keep` dump and log files stay: the smallest keys
// first, of equal keys the one found first. Other files are never chosen.
std::vector<size_t> DumpFilesToDelete(const std::vector<std::string>& paths, size_t keep = kKeptDumpFiles);
// This process's dump: folder\dump_<time>-<pid>.dmp.
std::string OwnDumpPath(const std::string& folder, long long time, unsigned long processId);
// Another process's dump: the own dump name without ".dmp", then
// "-<base>-<pid>.dmp", where base is the module name cut before its first
// '_' or '.'.
std::string OtherDumpPath(const std::string& ownDumpPath, const char* moduleName, unsigned long processId);
// A module name cut before its first '_' or '.' (viewer.exe gives viewer,
// my_tool.exe gives my).
std::string ModuleBaseName(const char* moduleName);

}  // namespace ny::crash
