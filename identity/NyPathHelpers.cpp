// Path, file-name and folder helpers. Every scan steps over double-byte
// characters through the multibyte module.
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "NyIdentity.h"
#include "base/NyMultiByte.h"
#include "base/NyPathText.h"
#include "base/NyScopedHandle.h"
#include "identity/NyWorkingDirectory.h"

namespace {

char g_fullPath[MAX_PATH];  // NyMakeFullPathT's result
CString g_fullPathKept;     // NyMakeFullPath's result

static_assert(ny::kMaxPath == MAX_PATH, "path buffers are the platform's MAX_PATH");

}  // namespace

bool NyIsAsciiPrintableCharactorOrSpaceT(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  return c >= 0x20 && c <= 0x7E;
}

bool NyIsAsciiPrintableCharactorOrSpaceT(const char* text) {
  if (!text) return false;
  for (; *text; ++text) {
    if (!NyIsAsciiPrintableCharactorOrSpaceT(*text)) return false;
  }
  return true;
}

bool NyIsTwoBytesCharT(char ch) { return ny::mb::IsLeadByte(static_cast<unsigned char>(ch)); }
bool NyIsTwoBytesChar(char ch) { return NyIsTwoBytesCharT(ch); }

bool NyIsFullPathT(const char* text) {
  if (!text || !*text) return false;
  if (text[0] == '\\' && text[1] == '\\') return true;
  return ny::mb::IsAlpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

bool NyIsValidFilePathT(const char* text) {
  if (!ny::FitsPath(text)) return false;
  if (NyIsFileExistT(text)) return true;
  if (::GetFileAttributesA(text) != INVALID_FILE_ATTRIBUTES) return true;
  return ::GetLastError() != ERROR_INVALID_NAME;
}

bool NyIsFileExistT(const char* path) {
  char name[MAX_PATH];
  if (!ny::CopyPath(name, path)) return false;
  NyEraseLastBackSlashT(name);
  // A pattern is not a name: "C:\*" would otherwise find whatever is in C:\.
  if (name[0] && !std::strpbrk(name, "*?")) {
    // The quick answer for the common cases (configuration reads ask this
    // on every call): the entry is there, or its name or folder is not.
    if (::GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) return true;
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
    WIN32_FIND_DATAA data;
    ny::ScopedFindHandle find(::FindFirstFileA(name, &data));
    if (find) return true;
  }
  // Folders that the search does not report (a drive root, say) still count
  // when they can be entered.
  ny::WorkingDirectoryGuard cwd;
  if (!cwd.Saved()) return false;
  bool entered = NySetCurrentPathT(path);
  return cwd.Restore() && entered;
}

bool NyIsFileExist(const char* path) { return NyIsFileExistT(CString(path)); }

void NyEraseLastBackSlashT(char* text) { ny::path::EraseLastBackSlash(text); }

bool NyGetExtentionT(const char* path, char* extension) { return ny::path::GetExtension(path, extension); }

bool NyAddExtention(const char* path, const char* extension, char* output) {
  return ny::path::AddExtension(path, extension, output, false);
}

bool NyAddExtentionT(const char* path, const char* extension, char* output) {
  return ny::path::AddExtension(path, extension, output, true);
}

bool NyDelExtention(const char* path, const char* extension, char* output) {
  return ny::path::DelExtension(path, extension, output, false);
}

bool NyDelExtentionT(const char* path, const char* extension, char* output) {
  return ny::path::DelExtension(path, extension, output, true);
}

int NySplitFileNameT(const char* path, char* folder, char* fileName) {
  if (!ny::path::SplitFileName(path, folder, fileName)) {
    std::fprintf(stderr, "/%s/\n  return code = %d\n  %s\n", "SplitFileName", 1, "illegal inputs");
    return 1;
  }
  return 0;
}

int NySplitFileName(const char* path, CString* folder, CString* fileName) {
  CString input(path);
  char folderPart[MAX_PATH];
  char namePart[MAX_PATH];
  int result = NySplitFileNameT(input, folderPart, namePart);
  if (result == 0) {
    if (folder) *folder = folderPart;
    if (fileName) *fileName = namePart;
  }
  return result;
}

const char* NyMakeFullPathT(const char* relative, const char* base) {
  if (!ny::FitsPath(relative) || (base && !ny::FitsPath(base))) return nullptr;
  ny::WorkingDirectoryGuard cwd;
  if (!cwd.Saved()) return nullptr;
  char baseFolder[MAX_PATH];
  if (!base) base = NyGetCurrentPathT();
  if (!ny::CopyPath(baseFolder, base)) return nullptr;
  if (!NySetCurrentPathT(baseFolder)) return nullptr;
  char* resolved = _fullpath(g_fullPath, relative, MAX_PATH);
  if (!cwd.Restore() || !resolved) return nullptr;
  NyEraseLastBackSlashT(g_fullPath);
  return g_fullPath;
}

const char* NyMakeFullPath(const char* relative, const char* base) {
  CString rel(relative);
  CString baseText(base);
  const char* result = NyMakeFullPathT(rel, baseText);
  if (!result) return nullptr;
  g_fullPathKept = result;
  return g_fullPathKept;
}

bool NyCreateDirectoriesT(const char* path) {
  if (!ny::FitsPath(path) || !NyIsFullPathT(path)) return false;
  // Walk upwards to the first folder that exists, then create downwards.
  std::vector<std::string> missing;
  char current[MAX_PATH];
  ny::CopyPath(current, path);
  while (std::strlen(current) > 2 && !NyIsFileExistT(current)) {
    missing.emplace_back(current);
    char parent[MAX_PATH];
    if (NySplitFileNameT(current, parent, nullptr) != 0) break;
    std::memcpy(current, parent, sizeof current);
  }
  bool result = false;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!NyIsFileExistT(it->c_str())) result = ::CreateDirectoryA(it->c_str(), nullptr) != FALSE;
  }
  return result;
}

bool NyCreateDirectories(const char* path) { return NyCreateDirectoriesT(CString(path)); }
