// The folder picker: the platform's file-open dialog object in its
// pick-folders mode. The public function only creates the object; the steps
// on it live in ny::dialogs::RunFolderDialog, which takes any
// IFileOpenDialog, so that they can be exercised without a real dialog.
#include "dialogs/NyFolderDialog.h"

#include "base/NyWindows.h"

#include <objbase.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

#include "NyDialogs.h"
#include "dialogs/NyLibraryStrings.h"
#include "files/NyComPtr.h"

namespace {

constexpr UINT kResultOk = IDOK;
constexpr UINT kResultCancel = IDCANCEL;

// A text the shell allocated with the COM task allocator (GetDisplayName),
// freed on every path.
class ShellString {
 public:
  ShellString() = default;
  ~ShellString() { ::CoTaskMemFree(m_text); }
  ShellString(const ShellString&) = delete;
  ShellString& operator=(const ShellString&) = delete;

  const wchar_t* Get() const { return m_text; }
  LPWSTR* Put() {
    ::CoTaskMemFree(m_text);
    m_text = nullptr;
    return &m_text;
  }

 private:
  LPWSTR m_text = nullptr;
};

// The shell takes only UTF-16; the caller's texts are in the ANSI code page,
// where characters it lacks become its default character.
std::wstring ToWide(const char* text) { return NyAfxAnsiToWide(text, std::strlen(text)); }
std::string ToAnsi(const wchar_t* text) { return NyAfxWideToAnsi(text, std::wcslen(text)); }

bool IsFileSystemFolder(IShellItem* item) {
  SFGAOF attributes = 0;
  // S_FALSE means that some of the asked attributes are missing; the value
  // tells which.
  return SUCCEEDED(item->GetAttributes(SFGAO_FILESYSTEM, &attributes)) && (attributes & SFGAO_FILESYSTEM);
}

void SetInitialFolder(IFileOpenDialog* dialog, const char* initialFolder) {
  ny::ComPtr<IShellItem> item;
  const std::wstring path = ToWide(initialFolder);
  if (FAILED(::SHCreateItemFromParsingName(path.c_str(), nullptr, IID_IShellItem, item.PutVoid())) || !item)
    return;  // a path that does not parse leaves the dialog's own start
  ny::ComPtr<IShellItem> parent;
  if (FAILED(item->GetParent(parent.Put())) || !parent || !IsFileSystemFolder(parent.Get())) {
    // A top item has no folder to open it in. A drive root does have a
    // parent, the computer, but that is no file-system folder: the picker
    // opened there shows the drive's label in the file-name box (" (C:)")
    // and refuses it on OK, so a root opens in itself instead.
    dialog->SetFolder(item.Get());
    return;
  }
  // Opened in the parent with the folder's name in the file-name box, the
  // folder itself is what OK picks until the user chooses another.
  dialog->SetFolder(parent.Get());
  ShellString name;
  if (SUCCEEDED(item->GetDisplayName(SIGDN_NORMALDISPLAY, name.Put())) && name.Get())
    dialog->SetFileName(name.Get());
}

UINT Run(IFileOpenDialog* dialog, HWND hParent, const char* initialFolder, char* folder, const char* title) {
  if (!dialog || !folder) return kResultCancel;

  // The options come before the title: Wine's picker, when switched to
  // picking folders, puts its own caption over a title set earlier.
  FILEOPENDIALOGOPTIONS options = 0;
  if (SUCCEEDED(dialog->GetOptions(&options)))
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
  // The library's own caption goes to the shell as UTF-16 straight from the
  // string table: through the ANSI code page a Japanese text would turn
  // into question marks wherever the user interface and the code page
  // differ.
  dialog->SetTitle(title ? ToWide(title).c_str()
                         : ny::dialogs::LibraryStringW(ny::dialogs::kSelectFolder).GetString());
  if (initialFolder) SetInitialFolder(dialog, initialFolder);

  // Show fails with ERROR_CANCELLED when the user cancels.
  if (FAILED(dialog->Show(hParent))) return kResultCancel;
  ny::ComPtr<IShellItem> result;
  if (FAILED(dialog->GetResult(result.Put())) || !result) return kResultCancel;
  ShellString path;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.Put())) || !path.Get()) return kResultCancel;

  // The caller's buffer holds MAX_PATH bytes: a longer path (counted in the
  // ANSI code page, where a double-byte character takes two) is refused
  // whole rather than cut.
  const std::string chosen = ToAnsi(path.Get());
  if (chosen.empty() || chosen.size() >= MAX_PATH) return kResultCancel;
  std::memcpy(folder, chosen.c_str(), chosen.size() + 1);
  return kResultOk;
}

}  // namespace

UINT ny::dialogs::RunFolderDialog(IFileOpenDialog* dialog, HWND hParent, const char* initialFolder,
                                  char* folder, const char* title) {
  try {
    return Run(dialog, hParent, initialFolder, folder, title);
  } catch (...) {  // out of memory for a converted text: nothing was copied
    return kResultCancel;
  }
}

UINT NyGetFolderDialogT(HWND hParent, const char* initialFolder, char* folder, const char* title) {
  if (!folder) return kResultCancel;
  // COM is the caller's to initialise: on a thread without it the object
  // cannot be created, and the picker counts as cancelled.
  ny::ComPtr<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                dialog.PutVoid())) ||
      !dialog)
    return kResultCancel;
  return ny::dialogs::RunFolderDialog(dialog.Get(), hParent, initialFolder, folder, title);
}
