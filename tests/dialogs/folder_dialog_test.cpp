// The folder picker on Wine's own picker, and its steps on a dialog object of
// the test's for what that picker never does (failed results, long paths) and
// for reference counts.
//
// The real picker is driven without polling: a CBT hook on the test thread
// sees it activate and posts the test's owner window a message, which the
// picker's own modal loop dispatches once the picker is set up; the owner
// then reads the picker and presses a button.
#include <windows.h>

// clang-format off
// dlgs.h uses the base types without including their header.
#include <dlgs.h>
// clang-format on
#include <objbase.h>
#include <shobjidl.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "DoRor.h"
#include "LibraryTexts.h"
#include "NyTestSupport.h"
#include "NyWindowTestSupport.h"
#include "dialogs/NyFolderDialog.h"

namespace {

// The null-title test runs under every user-interface language of the suite.
const bool ny_folder_labels = nytest::AddLabel("codepage", "FolderPicker.NullTitle*") &&
                              nytest::AddLabel("ui-language", "FolderPicker.NullTitle*");

std::string Ansi(const wchar_t* text) {
  char buffer[1024] = "";
  ::WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

// ---- The platform's picker ----------------------------------------------------------

constexpr UINT kAct = WM_APP + 11;

// Runs NyGetFolderDialogT owned by a window of its own and, once the picker
// is up, records its caption and file-name box, types `typed` there if set,
// and presses `end`. A dialog that the picker opens in turn (an error
// message) is dismissed with the picker, so that the run ends with
// `complained` rather than at the watchdog.
class PickerDriver {
 public:
  PickerDriver() {
    static const ATOM windowClass = Register();  // once per program
    m_owner = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(windowClass)), L"owner",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    t_driver = this;
    m_hook = ::SetWindowsHookExW(WH_CBT, &Cbt, nullptr, ::GetCurrentThreadId());
  }
  ~PickerDriver() {
    ::UnhookWindowsHookEx(m_hook);
    t_driver = nullptr;
    ::DestroyWindow(m_owner);
  }
  PickerDriver(const PickerDriver&) = delete;
  PickerDriver& operator=(const PickerDriver&) = delete;

  UINT Run(const char* initialFolder, char* folder, const char* title) {
    m_picker = nullptr;
    return NyGetFolderDialogT(m_owner, initialFolder, folder, title);
  }

  std::string typed;  // typed into the file-name box unless empty
  int end = IDOK;
  // Seen in the runs.
  int pickers = 0;
  std::wstring caption;
  std::string fileName;
  bool complained = false;

 private:
  static ATOM Register() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &OwnerProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NyFolderPickerOwner";
    return ::RegisterClassW(&wc);
  }

  static LRESULT CALLBACK Cbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && t_driver) t_driver->Activated(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static LRESULT CALLBACK OwnerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kAct && t_driver) {
      t_driver->Act();
      return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
  }

  void Activated(HWND window) {
    char name[16] = "";
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || window == m_picker) return;
    const HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner == m_owner) {
      m_picker = window;
      ++pickers;
      ::PostMessageW(m_owner, kAct, 0, 0);
    } else if (m_picker && owner == m_picker) {
      complained = true;
      ::PostMessageW(window, WM_COMMAND, IDOK, 0);
      ::PostMessageW(m_picker, WM_COMMAND, IDCANCEL, 0);
    }
  }

  void Act() {
    wchar_t text[256] = L"";
    ::GetWindowTextW(m_picker, text, 256);
    caption = text;
    char name[MAX_PATH] = "";
    ::GetDlgItemTextA(m_picker, edt1, name, MAX_PATH);
    fileName = name;
    if (!typed.empty()) ::SetDlgItemTextA(m_picker, edt1, typed.c_str());
    ::PostMessageW(m_picker, WM_COMMAND, MAKEWPARAM(end, BN_CLICKED), 0);
  }

  static thread_local PickerDriver* t_driver;
  HWND m_owner = nullptr;
  HWND m_picker = nullptr;
  HHOOK m_hook = nullptr;
};

thread_local PickerDriver* PickerDriver::t_driver = nullptr;

class FolderPicker : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(m_com)); }
  void TearDown() override {
    if (SUCCEEDED(m_com)) ::CoUninitialize();
  }

  std::string Folder(const std::string& name) const {
    const std::string path = temp / name;
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }

  nytest::Watchdog m_dog{60};
  HRESULT m_com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  nytest::TempFolder temp;
};

// Texts in the ANSI code page both ways: a name whose second byte has a
// backslash's value under 932, accented letters under 1252.
NY_CODEPAGE_TEST_F(FolderPicker, OpensInTheParentWithTheFolderPreselected) {
  const bool cp932 = nytest::IsCodePage932();
  const std::string name = cp932 ? "\x95\x5c\x8e\xa6" : "Gr\xf6\xdf\x65";  // "display" / "size"
  const std::string title = cp932 ? "\x91\x49\x91\xf0" : "W\xe4hlen";      // "choose"
  const std::wstring caption = cp932 ? L"\u9078\u629e" : L"W\u00e4hlen";
  const std::string chosen = Folder(name);
  const std::string sibling = Folder("Beta");

  PickerDriver driver;
  char folder[MAX_PATH] = "";
  EXPECT_EQ(driver.Run(chosen.c_str(), folder, title.c_str()), 1u);
  EXPECT_EQ(driver.pickers, 1);
  EXPECT_EQ(driver.caption, caption);
  EXPECT_EQ(driver.fileName, name);
  EXPECT_EQ(folder, chosen);

  // A name typed over the pre-selected one is found beside it.
  driver.typed = "Beta";
  EXPECT_EQ(driver.Run(chosen.c_str(), folder, title.c_str()), 1u);
  EXPECT_EQ(folder, sibling);
  EXPECT_FALSE(driver.complained);
}

TEST_F(FolderPicker, DriveRootOpensInItselfAndAStartThatDoesNotParseIsSkipped) {
  PickerDriver driver;
  char folder[MAX_PATH] = "";
  // No name pre-filled; a bare name is looked up in the root.
  driver.typed = "users";
  EXPECT_EQ(driver.Run("C:\\", folder, "root"), 1u);
  EXPECT_EQ(driver.fileName, "");
  EXPECT_STREQ(folder, "C:\\users");

  // A folder that is gone opens the picker where the platform likes; a full
  // path typed there is taken as it is.
  const std::string beta = Folder("Beta");
  driver.typed = beta;
  EXPECT_EQ(driver.Run((temp / "Gone").c_str(), folder, "gone"), 1u);
  EXPECT_EQ(driver.pickers, 2);
  EXPECT_EQ(driver.fileName, "");
  EXPECT_EQ(folder, beta);
  EXPECT_FALSE(driver.complained);
}

TEST_F(FolderPicker, CancelNoComAndNoBufferLeaveTheCallerAlone) {
  const std::string alpha = Folder("Alpha");
  PickerDriver driver;
  char folder[MAX_PATH] = "untouched";
  driver.end = IDCANCEL;
  EXPECT_EQ(driver.Run(alpha.c_str(), folder, "cancel"), 2u);
  EXPECT_EQ(driver.pickers, 1);
  EXPECT_STREQ(folder, "untouched");

  // Neither shows anything.
  UINT withoutCom = 0;
  std::thread([&] { withoutCom = NyGetFolderDialogT(nullptr, alpha.c_str(), folder, nullptr); }).join();
  EXPECT_EQ(withoutCom, 2u);
  EXPECT_STREQ(folder, "untouched");
  EXPECT_EQ(driver.Run(alpha.c_str(), nullptr, "no buffer"), 2u);
  EXPECT_EQ(driver.pickers, 1);
}

TEST_F(FolderPicker, NullTitleShowsTheLibraryCaptionInTheUserLanguage) {
  const std::wstring expected = nytest::ExpectedLibraryText(1);
  // Whatever module the host has made current, the text is the library's,
  // and the host's choice is back afterwards.
  const HINSTANCE hostResources = AfxGetResourceHandle();
  const HINSTANCE elsewhere = ::GetModuleHandleA("kernel32.dll");
  AfxSetResourceHandle(elsewhere);
  PickerDriver driver;
  driver.end = IDCANCEL;
  char folder[MAX_PATH] = "untouched";
  EXPECT_EQ(driver.Run(nullptr, folder, nullptr), 2u);
  EXPECT_EQ(AfxGetResourceHandle(), elsewhere);
  AfxSetResourceHandle(hostResources);
  EXPECT_EQ(driver.caption, expected);
}

// ---- The steps on a dialog object of the test's -----------------------------------

// A picked item: its file-system path, or the failure to give one.
class FakeItem : public IShellItem {
 public:
  std::wstring path;
  HRESULT hr = S_OK;
  ULONG refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetDisplayName(SIGDN, LPWSTR* name) override {
    if (FAILED(hr)) return hr;
    const size_t bytes = (path.size() + 1) * sizeof(wchar_t);
    *name = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    std::memcpy(*name, path.c_str(), bytes);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE BindToHandler(IBindCtx*, REFGUID, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetParent(IShellItem**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAttributes(SFGAOF, SFGAOF*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Compare(IShellItem*, SICHINTF, int*) override { return E_NOTIMPL; }
};

// Answers Show and GetResult as told; keeps the options it is given.
class FakeDialog : public IFileOpenDialog {
 public:
  HRESULT showHr = S_OK;
  HRESULT resultHr = S_OK;
  FakeItem result;
  FILEOPENDIALOGOPTIONS options = FOS_NOCHANGEDIR;
  int shown = 0;
  ULONG refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE Show(HWND) override {
    ++shown;
    return showHr;
  }
  HRESULT STDMETHODCALLTYPE GetResult(IShellItem** item) override {
    if (FAILED(resultHr)) return resultHr;
    result.AddRef();
    *item = &result;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetOptions(FILEOPENDIALOGOPTIONS* value) override {
    *value = options;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetOptions(FILEOPENDIALOGOPTIONS value) override {
    options = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetTitle(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetFolder(IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetFileName(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetFileTypes(UINT, const COMDLG_FILTERSPEC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFileTypeIndex(UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFileTypeIndex(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Advise(IFileDialogEvents*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDefaultFolder(IShellItem*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFolder(IShellItem**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentSelection(IShellItem**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetOkButtonLabel(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFileNameLabel(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddPlace(IShellItem*, FDAP) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDefaultExtension(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Close(HRESULT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetClientGuid(REFGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ClearClientData() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFilter(IShellItemFilter*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetResults(IShellItemArray**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSelectedItems(IShellItemArray**) override { return E_NOTIMPL; }
};

// What Wine's picker never answers: failures after Show and paths too long
// for the caller's MAX_PATH bytes, counted in the ANSI code page. Every
// failure leaves the buffer as it was; no reference is kept or lost, and the
// dialog's own options stay.
TEST_F(FolderPicker, FailedAndLongResultsLeaveTheBufferAlone) {
  const std::string start = Folder("Alpha");
  const std::wstring root = L"C:\\";
  const std::wstring ascii259 = root + std::wstring(256, L'a');
  const std::wstring ideographs128 = root + std::wstring(128, L'\u8868');  // 259 bytes under 932
  const struct {
    HRESULT show, result, path;
    std::wstring text;
    UINT expected;
  } rows[] = {
      {HRESULT_FROM_WIN32(ERROR_CANCELLED), S_OK, S_OK, L"C:\\x", 2},
      {S_OK, E_FAIL, S_OK, L"C:\\x", 2},
      {S_OK, S_OK, E_INVALIDARG, L"C:\\x", 2},  // not in the file system
      {S_OK, S_OK, S_OK, ascii259, 1},
      {S_OK, S_OK, S_OK, ascii259 + L"a", 2},
      {S_OK, S_OK, S_OK, ideographs128, 1},
      {S_OK, S_OK, S_OK, ideographs128 + L"\u8868", nytest::IsCodePage932() ? 2u : 1u},  // 132 characters
  };
  for (const auto& row : rows) {
    FakeDialog dialog;
    dialog.showHr = row.show;
    dialog.resultHr = row.result;
    dialog.result.hr = row.path;
    dialog.result.path = row.text;
    char folder[MAX_PATH] = "untouched";
    const UINT got = ny::dialogs::RunFolderDialog(&dialog, nullptr, start.c_str(), folder, "T");
    EXPECT_EQ(got, row.expected) << Ansi(row.text.c_str()).size() << " bytes";
    EXPECT_EQ(folder, got == 1 ? Ansi(row.text.c_str()) : "untouched");
    EXPECT_EQ(dialog.refs, 1u);
    EXPECT_EQ(dialog.result.refs, 1u);
    EXPECT_EQ(dialog.options,
              static_cast<FILEOPENDIALOGOPTIONS>(FOS_NOCHANGEDIR | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM));
  }
  FakeDialog dialog;
  EXPECT_EQ(ny::dialogs::RunFolderDialog(&dialog, nullptr, nullptr, nullptr, "T"), 2u);
  EXPECT_EQ(dialog.shown, 0);
  EXPECT_EQ(ny::dialogs::RunFolderDialog(nullptr, nullptr, nullptr, nullptr, "T"), 2u);
}

}  // namespace
