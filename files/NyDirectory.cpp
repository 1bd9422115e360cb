// Copying and removing folder trees.
#include "files/NyDirectory.h"

#include <direct.h>

#include <cstdio>
#include <cstring>

#include "NyFiles.h"
#include "NyIdentity.h"
#include "base/NyMultiByte.h"
#include "base/NyPathText.h"
#include "base/NyScopedHandle.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// `path` without its trailing separators; a double-byte character whose
// second byte is a backslash is no separator.
std::string WithoutTrailingSeparators(std::string path) {
  while (!path.empty() &&
         (ny::mb::EndsWithChar(path.c_str(), '\\') || ny::mb::EndsWithChar(path.c_str(), '/')))
    path.pop_back();
  return path;
}

// The full path of `path` (resolved against the working directory), or false
// when it cannot be resolved within MAX_PATH.
bool FullPath(const char* path, char (&full)[MAX_PATH]) {
  if (!ny::FitsPath(path) || !*path) return false;
  const DWORD n = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH;
}

// True when the full path names a drive root ("C:\"), a share root
// ("\\server\share") or less. Trailing separators do not count, and a
// double-byte character whose second byte is a backslash is no separator.
bool IsRoot(const char* full) {
  const std::string path = WithoutTrailingSeparators(full);
  if (path.size() <= 2) return true;  // "", "C:"
  if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  // A UNC path: \\server\share is the root, as are the device forms \\?\C:
  // and \\.\C: (one separator after the leading pair).
  size_t separators = 0;
  for (const char* p = path.c_str() + 2; *p; p += ny::mb::CharLength(p)) {
    if (IsSeparator(*p)) ++separators;
  }
  return separators <= 1;
}

// True for "Q:" (and "Q:\\"): a bare drive letter names that drive's working
// folder, which may be anything; it is refused like the root it looks like.
bool IsBareDrive(const char* path) {
  const std::string text = WithoutTrailingSeparators(path);
  return text.size() == 2 && text[1] == ':';
}

// Deletes a link itself, never what it points at. The link is opened as the
// link (not followed), and deleted through that handle only after the handle
// shows the reparse-point attribute: Wine ignores the request to open the
// link itself and hands out the folder it points at, and RemoveDirectoryA on
// such a link there removes the target when it is empty. Where the platform
// cannot open the link itself, the link stays and the caller sees a failure.
bool RemoveLink(const char* path) {
  ny::ScopedKernelHandle link(::CreateFileA(
      path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!link) return false;
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!::GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag)) return false;
  if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  FILE_DISPOSITION_INFO dispose{TRUE};
  return ::SetFileInformationByHandle(link.Get(), FileDispositionInfo, &dispose, sizeof dispose) != FALSE;
}

bool RemoveTreeBelow(const char* path) {
  // Every entry is noted first and the listing closed before anything is
  // deleted: files first, then each folder in listing order.
  std::vector<ny::files::Entry> entries;
  ny::files::ListFolder(path, "*", entries);
  char child[MAX_PATH];
  for (const ny::files::Entry& entry : entries) {
    if (entry.IsFolder() && !entry.IsLink()) continue;
    // A child path that does not fit cannot be deleted: its folder stays.
    if (!ny::JoinPath(child, path, entry.name.c_str())) continue;
    if (entry.IsLink())
      RemoveLink(child);
    else
      std::remove(child);
  }
  for (const ny::files::Entry& entry : entries) {
    if (!entry.IsFolder() || entry.IsLink()) continue;
    if (ny::JoinPath(child, path, entry.name.c_str())) RemoveTreeBelow(child);
  }
  return _rmdir(path) == 0;
}

// Copies the tree under `source` into `destination`, creating it first; the
// operation applied to each sub-folder pair.
bool CopyTree(const char* source, const char* destination) {
  if (!NyCreateDirectoriesT(destination)) return false;
  char pattern[MAX_PATH];
  if (!ny::JoinPath(pattern, source, "*.*")) return false;
  WIN32_FIND_DATAA found;
  ny::ScopedFindHandle find(::FindFirstFileA(pattern, &found));
  if (!find) return false;
  char from[MAX_PATH], to[MAX_PATH];
  do {
    const char* name = found.cFileName;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (!ny::JoinPath(from, source, name) || !ny::JoinPath(to, destination, name)) return false;
    // A link to a folder is copied as the folder it shows, like the
    // platform's copy commands do; a link back into the tree ends at the
    // path limit with false.
    const bool ok = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                        ? CopyTree(from, to)
                        : ::CopyFileA(from, to, FALSE) != FALSE;
    if (!ok) return false;
  } while (::FindNextFileA(find.Get(), &found));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

// True when `inner` is `outer` or lies inside it (full paths, compared as
// the file system does, ignoring case).
bool IsSameOrInside(const char* outer, const char* inner) {
  std::string a, b;
  ny::mb::FoldCase(outer, a);
  ny::mb::FoldCase(inner, b);
  a = WithoutTrailingSeparators(a);
  if (b.compare(0, a.size(), a) != 0) return false;
  return b.size() == a.size() || IsSeparator(b[a.size()]);
}

}  // namespace

namespace ny::files {

bool ListFolder(const char* folder, const char* pattern, std::vector<Entry>& entries) {
  entries.clear();
  char search[MAX_PATH];
  if (!ny::JoinPath(search, folder, pattern)) return false;
  WIN32_FIND_DATAA found;
  ny::ScopedFindHandle find(::FindFirstFileA(search, &found));
  if (!find) return false;
  do {
    const char* name = found.cFileName;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    entries.push_back({name, found.dwFileAttributes});
  } while (::FindNextFileA(find.Get(), &found));
  return true;
}

bool RemoveTree(const char* path) {
  // An empty path would list the root of the current drive, and "." or ".."
  // may resolve to a root as well: the check is made on the full path, and a
  // root is never removed.
  char full[MAX_PATH];
  if (!FullPath(path, full) || IsRoot(full)) return false;
  if (IsBareDrive(path)) return false;
  const DWORD attributes = ::GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  // The path itself may be a link: remove the link, not what it shows.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveLink(path);
  return RemoveTreeBelow(path);
}

}  // namespace ny::files

bool NyCopyDirectoryT(const CString& source, const CString& destination) {
  char from[MAX_PATH], to[MAX_PATH];
  if (!FullPath(source, from) || !FullPath(destination, to)) return false;
  // A destination inside the source would copy itself forever.
  if (IsSameOrInside(from, to)) return false;
  // Full paths: the destination's folders are created from its full path,
  // so a relative destination works as well.
  return CopyTree(from, to);
}

bool NyRemoveDirectoryT(const CString& path) { return ny::files::RemoveTree(path); }
