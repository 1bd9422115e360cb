// Shell shortcuts: shell links (.lnk) to files and folders, internet
// shortcuts (.url) to web addresses, written and read through the shell's own
// objects and their IPersistFile.
#include "base/NyWindows.h"

// clang-format off
// intshcut.h declares its interfaces with the COM macros without including
// the header that defines them: objbase.h must come first.
#include <objbase.h>
#include <intshcut.h>
// clang-format on
#include <shlobj.h>
#include <shlwapi.h>
#include <string.h>

#include <string>

#include "NyFiles.h"
#include "base/NyMultiByte.h"
#include "files/NyComPtr.h"

namespace {

constexpr const char kLinkExtension[] = ".lnk";
constexpr const char kUrlExtension[] = ".url";
constexpr int kExtensionLength = 4;

// The longest target a shell link is asked to hold, in bytes. GetPath reads a
// link back into a buffer of MAX_PATH characters.
constexpr int kMaxLinkTarget = MAX_PATH;

// A shortcut name with its extension must fit in a path buffer. Refusing a
// longer one up front leaves the caller's variable as it was, rather than
// extended for a file that cannot be written.
bool FitsWithExtension(const CString& shortcutPath) {
  return shortcutPath.GetLength() + kExtensionLength < MAX_PATH;
}

// Removes one trailing `c`. The test is multibyte-aware: in code page 932 the
// second byte of a character such as 0x95 0x5C is a backslash's value and
// must not be cut in half.
void TrimOneTrailing(CString& text, char c) {
  if (ny::mb::EndsWithChar(text.GetString(), c)) text = text.Left(text.GetLength() - 1);
}

// Creates the shell object `clsid` for `iid` and its IPersistFile.
template <typename Interface>
bool CreateWithFile(REFCLSID clsid, REFIID iid, ny::ComPtr<Interface>& object,
                    ny::ComPtr<IPersistFile>& file) {
  HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.PutVoid());
  if (FAILED(hr) || !object) return false;
  hr = object->QueryInterface(IID_IPersistFile, file.PutVoid());
  return SUCCEEDED(hr) && file;
}

// Appends `extension` to the caller's name and saves the object there. The
// extension stays on the name even when Save fails: the target was accepted,
// and the caller sees which file could not be written.
bool SaveAs(IPersistFile* file, CString& shortcutPath, const char* extension) {
  const CString name = shortcutPath + extension;
  // The shell's objects take file names as UTF-16 only; the toolkit string
  // converts through the system ANSI code page, as every path is meant.
  const CStringW wide(name);
  shortcutPath = name;
  const HRESULT hr = file->Save(wide.GetString(), FALSE);
  return SUCCEEDED(hr);
}

bool LoadFrom(IPersistFile* file, const CString& shortcutPath) {
  const CStringW wide(shortcutPath);
  const HRESULT hr = file->Load(wide.GetString(), STGM_READ);
  return SUCCEEDED(hr);
}

// A text that the shell allocated for us, freed with the shell's allocator.
// SHGetMalloc hands out the COM task allocator, so CoTaskMemFree is the
// fallback should it fail. Must be destroyed while COM is still initialised.
class ShellText {
 public:
  ShellText() = default;
  ~ShellText() {
    if (!m_text) return;
    ny::ComPtr<IMalloc> allocator;
    if (SUCCEEDED(::SHGetMalloc(allocator.Put())) && allocator)
      allocator->Free(m_text);
    else
      ::CoTaskMemFree(m_text);
  }
  ShellText(const ShellText&) = delete;
  ShellText& operator=(const ShellText&) = delete;

  const char* Get() const { return m_text; }
  char** Put() { return &m_text; }

 private:
  char* m_text = nullptr;
};

bool CreateInternetShortcut(CString url, CString& shortcutPath) {
  ny::ScopedComInit com;
  if (!com.Succeeded()) return false;
  ny::ComPtr<IUniformResourceLocatorA> locator;
  ny::ComPtr<IPersistFile> file;
  if (!CreateWithFile(CLSID_InternetShortcut, IID_IUniformResourceLocatorA, locator, file)) return false;
  TrimOneTrailing(url, '/');
  const HRESULT hr = locator->SetURL(url.GetString(), 0);
  if (FAILED(hr)) return false;
  return SaveAs(file.Get(), shortcutPath, kUrlExtension);
}

bool CreateShellLink(CString target, CString& shortcutPath) {
  ny::ScopedComInit com;
  if (!com.Succeeded()) return false;
  ny::ComPtr<IShellLinkA> link;
  ny::ComPtr<IPersistFile> file;
  if (!CreateWithFile(CLSID_ShellLink, IID_IShellLinkA, link, file)) return false;
  TrimOneTrailing(target, '\\');
  // A lone "\" leaves nothing to point at: refused like an empty target.
  if (target.IsEmpty()) return false;
  const HRESULT hr = link->SetPath(target.GetString());
  if (FAILED(hr)) return false;
  return SaveAs(file.Get(), shortcutPath, kLinkExtension);
}

bool ReadShellLink(const CString& shortcutPath, CString& target) {
  ny::ComPtr<IShellLinkA> link;
  ny::ComPtr<IPersistFile> file;
  if (!CreateWithFile(CLSID_ShellLink, IID_IShellLinkA, link, file)) return false;
  if (!LoadFrom(file.Get(), shortcutPath)) return false;
  char path[MAX_PATH] = "";
  WIN32_FIND_DATAA found{};
  const HRESULT hr = link->GetPath(path, MAX_PATH, &found, 0);
  if (FAILED(hr)) return false;
  path[MAX_PATH - 1] = '\0';  // a truncated path need not be terminated
  // A link without a file-system path (S_FALSE, empty buffer) has no target
  // to report; an empty text would read as a path to the working folder.
  if (path[0] == '\0') return false;
  target = path;
  return true;
}

bool ReadInternetShortcut(const CString& shortcutPath, CString& target) {
  ny::ComPtr<IUniformResourceLocatorA> locator;
  ny::ComPtr<IPersistFile> file;
  if (!CreateWithFile(CLSID_InternetShortcut, IID_IUniformResourceLocatorA, locator, file)) return false;
  if (!LoadFrom(file.Get(), shortcutPath)) return false;
  ShellText url;  // after the objects: freed before they are released
  const HRESULT hr = locator->GetURL(url.Put());
  if (FAILED(hr)) return false;
  // A file without a URL line answers S_FALSE and no text.
  if (!url.Get() || url.Get()[0] == '\0') return false;
  target = url.Get();
  return true;
}

bool CreateShortcut(const CString& target, CString& shortcutPath) {
  // An empty target has no last character to trim and names nothing; it is
  // refused like an over-long one, before any file or the caller's name is
  // touched.
  if (target.IsEmpty() || !FitsWithExtension(shortcutPath)) return false;
  if (::PathIsURLA(target.GetString())) return CreateInternetShortcut(target, shortcutPath);
  // Checked before the trailing backslash is trimmed: a target of 261
  // characters is refused even when it ends in "\".
  if (target.GetLength() > kMaxLinkTarget) return false;
  return CreateShellLink(target, shortcutPath);
}

bool GetShortcutTargetPath(const CString& shortcutPath, CString& target) {
  // COM is initialised for every call, shortcut or not, so that the call
  // fails alike for every name on a thread whose apartment refuses it.
  ny::ScopedComInit com;
  if (!com.Succeeded()) return false;
  const char* extension = ::PathFindExtensionA(shortcutPath.GetString());
  const bool isLink = extension && _stricmp(extension, kLinkExtension) == 0;
  const bool isUrl = extension && _stricmp(extension, kUrlExtension) == 0;
  // Any other file needs no resolving: its own path is its target.
  if (!isLink && !isUrl) return true;
  if (shortcutPath.GetLength() >= MAX_PATH) return false;
  CString resolved;
  const bool ok =
      isLink ? ReadShellLink(shortcutPath, resolved) : ReadInternetShortcut(shortcutPath, resolved);
  if (!ok) return false;
  target = resolved;
  return true;
}

}  // namespace

// Strings are the only thing here that allocates and so the only source of an
// exception; none may leave the library.
bool NyCreateShortcut(const CString& target, CString& shortcutPath) {
  try {
    return CreateShortcut(target, shortcutPath);
  } catch (...) {
    return false;
  }
}

bool NyGetShortcutTargetPath(const CString& shortcutPath, CString& target) {
  try {
    return GetShortcutTargetPath(shortcutPath, target);
  } catch (...) {
    return false;
  }
}
