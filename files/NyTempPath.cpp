// Per-process temporary folders: {root}\QND_TMP_FOLDER{pid}, one root chosen
// once per process, and the clean-up of the folders of ended processes.
#include "base/NyWindows.h"

#include <direct.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "NyFiles.h"
#include "NyIdentity.h"
#include "base/NyPathText.h"
#include "files/NyDirectory.h"
#include "files/NyRunningProcesses.h"

namespace {

constexpr const char* kFolderPrefix = ny::files::kProcessFolderPrefix;
constexpr const char* kDefaultRootFolder = "Quandor";

// Both paths fit MAX_PATH with their terminator; empty until the root is
// chosen, which happens once per process.
char g_rootTempPath[MAX_PATH] = "";
char g_processTempPath[MAX_PATH] = "";
CString g_processTempPathCopy;  // NyGetTempPath's result

std::string FolderName(DWORD processId) { return kFolderPrefix + std::to_string(processId); }

// Creates (when missing) this process's folder under `root` and keeps both
// paths; false, keeping nothing, when the folder path would not fit or
// cannot be created.
bool ChooseRoot(const char* root) {
  char folder[MAX_PATH];
  if (!ny::JoinPath(folder, root, FolderName(::GetCurrentProcessId()).c_str())) return false;
  if (!NyIsFileExistT(folder) && !NyCreateDirectoriesT(folder)) return false;
  ny::CopyPath(g_processTempPath, folder);
  ny::CopyPath(g_rootTempPath, root);
  return true;
}

// The system temporary folder without its trailing backslash.
bool SystemTempPath(char (&path)[MAX_PATH]) {
  char buffer[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(sizeof buffer, buffer);
  if (n == 0 || n >= sizeof buffer) return false;
  NyEraseLastBackSlashT(buffer);
  return ny::CopyPath(path, buffer);
}

bool ChooseDefaultRoot() {
  char temp[MAX_PATH], root[MAX_PATH];
  return SystemTempPath(temp) && ny::JoinPath(root, temp, kDefaultRootFolder) && ChooseRoot(root);
}

}  // namespace

bool NySetRootTempPathT(const char* path) {
  // A path of 260 bytes or more cannot be kept with its terminator in the
  // MAX_PATH buffers that callers copy it into: refused like a longer one.
  if (!path || g_rootTempPath[0] || !ny::FitsPath(path)) return false;
  if (*path) {
    // Kept as a full path without a trailing backslash, so that the folders
    // under it do not move with the working directory.
    char root[MAX_PATH];
    const DWORD n = ::GetFullPathNameA(path, MAX_PATH, root, nullptr);
    if (n > 0 && n < MAX_PATH) {
      NyEraseLastBackSlashT(root);
      if (ChooseRoot(root)) return true;
    }
  }
  // An empty or unusable path gives way to the default root.
  return ChooseDefaultRoot();
}

const char* NyGetRootTempPathT() { return g_rootTempPath[0] ? g_rootTempPath : nullptr; }

const char* NyGetTempPathT() {
  if (!g_processTempPath[0] && !NySetRootTempPathT("")) return nullptr;
  return g_processTempPath;
}

const char* NyGetTempPath() {
  const char* path = NyGetTempPathT();
  if (!path) return nullptr;
  g_processTempPathCopy = path;
  return g_processTempPathCopy;
}

double NyGetAvailableTempDiskSize() {
  char folder[MAX_PATH];
  if (g_rootTempPath[0])
    ny::CopyPath(folder, g_rootTempPath);
  else if (!SystemTempPath(folder))
    return -1.0;
  ULARGE_INTEGER available;
  if (!::GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr)) return -1.0;
  return static_cast<double>(available.QuadPart) * 9.5367431640625e-7;  // bytes to MiB
}

bool NyEraseUnusedTempFiles(bool includeOwnFolder) {
  if (!g_rootTempPath[0]) return false;
  // Without the list of running processes every folder would look unused:
  // erase nothing.
  std::vector<DWORD> ids;
  if (!ny::files::RunningProcessIds(ids)) return false;
  const DWORD self = ::GetCurrentProcessId();
  std::set<std::string> live;
  for (DWORD id : ids) {
    if (!(includeOwnFolder && id == self)) live.insert(FolderName(id));
  }

  std::vector<ny::files::Entry> entries;
  ny::files::ListFolder(g_rootTempPath, "*", entries);
  std::map<std::string, std::string> folders;  // name -> full path, in name order
  char path[MAX_PATH];
  for (const ny::files::Entry& entry : entries) {
    if (entry.IsFolder() && ny::JoinPath(path, g_rootTempPath, entry.name.c_str()))
      folders[entry.name] = path;
  }

  bool result = true;
  const size_t prefixLength = std::strlen(kFolderPrefix);
  for (const auto& [name, folder] : folders) {
    // The prefix counts at the very start of the name only, case and all.
    if (name.compare(0, prefixLength, kFolderPrefix) != 0 || live.count(name)) continue;
    // The one tree removal of the library: a link is removed as a link and
    // never followed out of the tree.
    if (!ny::files::RemoveTree(folder.c_str())) result = false;
  }
  _rmdir(g_rootTempPath);  // only when empty; its outcome does not count
  return result;
}
