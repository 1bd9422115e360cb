// CNyDialog's window part: the three runs around the toolkit's dialog, the
// switches, hooks and registry, and the saved position. The loop order and
// the position arithmetic are in the platform-free NyMessageLoop and
// NyDialogPosition.
#include "base/NyWindows.h"

#include "NyConfig.h"
#include "NyDialogs.h"
#include "dialogs/NyDialogPosition.h"
#include "dialogs/NyLayoutWin.h"
#include "dialogs/NyMessageLoop.h"
#include "toolkit/NyWndThreadState.h"

namespace {

// The toolkit's resource module replaced by the dialog's own for as long as
// it lives; a dialog without one leaves it alone.
class ResourceSwap {
 public:
  explicit ResourceSwap(HINSTANCE module) {
    if (!module) return;
    m_previous = AfxGetResourceHandle();
    AfxSetResourceHandle(module);
  }
  ~ResourceSwap() {
    if (m_previous) AfxSetResourceHandle(m_previous);
  }
  ResourceSwap(const ResourceSwap&) = delete;
  ResourceSwap& operator=(const ResourceSwap&) = delete;

 private:
  HINSTANCE m_previous = nullptr;
};

// The dialog whose window DoModeless is creating, and whether that window
// was destroyed before creation returned (a derived OnInitDialog may do
// so): the deletion of an auto-delete dialog then waits for DoModeless,
// which still uses the object.
CNyDialog* g_creating = nullptr;
bool g_destroyedWhileCreating = false;

// The window a dialog's position is kept relative to: its parent (for a
// pop-up, its owner), else the application's main window.
HWND ReferenceWindow(HWND hWnd) {
  HWND reference = ::GetParent(hWnd);
  return reference ? reference : AfxGetMainWnd()->GetSafeHwnd();
}

bool NormalRect(HWND hWnd, RECT* rc) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!::GetWindowPlacement(hWnd, &placement)) return false;
  *rc = placement.rcNormalPosition;
  return true;
}

// Both keys of a pair, the second asked for only when the first was found.
std::optional<ny::layout::Point> ReadPair(const char* section, const char* keyX, const char* keyY) {
  int x = 0, y = 0;
  if (!NyReadUserConfig(section, keyX, x, nullptr, true) ||
      !NyReadUserConfig(section, keyY, y, nullptr, true)) {
    return std::nullopt;
  }
  return ny::layout::Point{x, y};
}

}  // namespace

IMPLEMENT_DYNAMIC(CNyDialog, CDialogEx)

BEGIN_MESSAGE_MAP(CNyDialog, CDialogEx)
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

bool CNyDialog::s_bSkipDialog = false;
bool CNyDialog::s_bHideModelessDialog = false;
UINT CNyDialog::m_iAbortMessageID = 0;
std::set<UINT> CNyDialog::m_setModelessDialog;
NyDialogHookFunc CNyDialog::s_pfnCaptureNyDialog = nullptr;
NyDialogHookFunc CNyDialog::s_pfnAutoRunNyDialog = nullptr;
NyIsAutoRunningFunc CNyDialog::s_pfnIsAutoRunning = nullptr;

CNyDialog::CNyDialog(UINT nIDTemplate, CWnd* pParent)
    : CDialogEx(nIDTemplate, pParent), m_nIDDialog(nIDTemplate) {}

// A modeless dialog destroyed with its window still open (an object on the
// stack going out of scope) never reaches PostNcDestroy: its template id is
// freed here, or no dialog of that template could open again.
CNyDialog::~CNyDialog() {
  if (m_mode == MODE_MODELESS) m_setModelessDialog.erase(m_nIDDialog);
}

// ---- Switches and hooks ---------------------------------------------------------------

void CNyDialog::SetSkipDialog(bool bSkip) { s_bSkipDialog = bSkip; }
bool CNyDialog::IsSkipDialog() { return s_bSkipDialog; }
void CNyDialog::SetHideModelessDialog(bool bHide) { s_bHideModelessDialog = bHide; }
bool CNyDialog::IsHideModelessDialog() { return s_bHideModelessDialog; }
void CNyDialog::SetAbortMessageID(UINT nMessageID) { m_iAbortMessageID = nMessageID; }

NyDialogHookFunc CNyDialog::SetCaptureNyDialogFunc(NyDialogHookFunc pfn) {
  NyDialogHookFunc previous = s_pfnCaptureNyDialog;
  s_pfnCaptureNyDialog = pfn;
  return previous;
}

NyDialogHookFunc CNyDialog::SetAutoRunNyDialogFunc(NyDialogHookFunc pfn) {
  NyDialogHookFunc previous = s_pfnAutoRunNyDialog;
  s_pfnAutoRunNyDialog = pfn;
  return previous;
}

NyIsAutoRunningFunc CNyDialog::SetIsAutoRunningFunction(NyIsAutoRunningFunc pfn) {
  NyIsAutoRunningFunc previous = s_pfnIsAutoRunning;
  s_pfnIsAutoRunning = pfn;
  return previous;
}

bool CNyDialog::IsAutoRunning() { return s_pfnIsAutoRunning && s_pfnIsAutoRunning(); }

void CNyDialog::Capture(__int64 result) {
  if (s_pfnCaptureNyDialog) s_pfnCaptureNyDialog(this, m_nIDDialog, result);
}

// ---- Runs ---------------------------------------------------------------------------------

bool CNyDialog::CreateFromTemplate(int nCmdShow) {
  ResourceSwap swap(m_hResource);
  if (!CDialog::Create(m_nIDDialog, nullptr)) return false;
  ShowWindow(nCmdShow);
  return true;
}

INT_PTR CNyDialog::DoModal() {
  if (IsAutoRunning()) return DoModelessWait();
  m_mode = MODE_MODAL;
  {
    ResourceSwap swap(m_hResource);
    m_nReturnCode = CDialog::DoModal();
  }
  m_mode = MODE_NONE;
  return m_nReturnCode;
}

bool CNyDialog::DoModeless(bool bAutoDelete) {
  if (IsAutoRunning()) {
    DoModelessWait();
    return true;
  }
  m_bAutoDelete = bAutoDelete;
  if (m_setModelessDialog.count(m_nIDDialog)) {
    if (bAutoDelete) delete this;
    return false;
  }
  m_setModelessDialog.insert(m_nIDDialog);
  m_mode = MODE_MODELESS;
  if (!m_hWnd) {
    g_creating = this;
    g_destroyedWhileCreating = false;
    const bool created = CreateFromTemplate(s_bHideModelessDialog ? SW_HIDE : SW_SHOW);
    g_creating = nullptr;
    // Without a window (no template, or destroyed while it initialised) the
    // run is refused like a second one, and an auto-delete object goes now:
    // no PostNcDestroy is left to delete it.
    if (!created || g_destroyedWhileCreating) {
      m_setModelessDialog.erase(m_nIDDialog);
      m_mode = MODE_NONE;
      if (m_bAutoDelete) delete this;
      return false;
    }
  }
  SetActiveWindow();
  return true;
}

void CNyDialog::EndModeless() {
  if (m_mode == MODE_MODELESS) DestroyWindow();
}

void CNyDialog::PostNcDestroy() {
  if (m_mode != MODE_MODELESS) return;
  m_mode = MODE_NONE;
  m_setModelessDialog.erase(m_nIDDialog);
  if (this == g_creating) {
    g_destroyedWhileCreating = true;
    return;
  }
  if (m_bAutoDelete) delete this;
}

INT_PTR CNyDialog::DoModelessWait() {
  // The queue and the toolkit objects as the loop sees them. A local class
  // of a member function has the member's access to the class.
  class Host final : public ny::loop::WaitLoopHost {
   public:
    explicit Host(CNyDialog& dialog)
        : m_dialog(dialog), m_app(AfxGetApp()), m_msg(AfxGetThreadState()->m_msgCur) {
      CWinThread* thread = AfxGetThread();
      m_mainWnd = thread ? thread->GetMainWnd()->GetSafeHwnd() : nullptr;
    }
    bool IsAutoRunning() override { return CNyDialog::IsAutoRunning(); }
    bool WindowExists() override { return ::IsWindow(m_dialog.m_hWnd) != FALSE; }
    bool HasAutoRunHook() override { return s_pfnAutoRunNyDialog != nullptr; }
    void CallAutoRunHook(long long& result) override {
      s_pfnAutoRunNyDialog(&m_dialog, m_dialog.m_nIDDialog, result);
    }
    void OnOK() override { m_dialog.OnOK(); }
    void OnCancel() override { m_dialog.OnCancel(); }
    bool MessageWaiting() override { return ::PeekMessageA(&m_peek, nullptr, 0, 0, PM_NOREMOVE) != FALSE; }
    bool OnIdle(long count) override { return m_app && m_app->OnIdle(count); }
    bool MessageWaiting(unsigned id) override {
      return ::PeekMessageA(&m_peek, nullptr, id, id, PM_NOREMOVE) != FALSE;
    }
    bool RemoveCloseToMainWindow() override {
      return m_mainWnd && ::PeekMessageA(&m_peek, m_mainWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE);
    }
    Fetched GetMessage() override {
      const BOOL got = ::GetMessageA(&m_msg, nullptr, 0, 0);
      return got == 0 ? Fetched::Quit : got == -1 ? Fetched::Failed : Fetched::Message;
    }
    void PostQuit() override { ::PostMessageA(nullptr, WM_QUIT, 0, 0); }
    bool IsIdleMessage() override { return m_dialog.IsIdleMessage(&m_msg); }
    bool IsKickIdle() override { return m_msg.message == WM_KICKIDLE; }
    bool PreTranslateMessage() override { return m_app && m_app->PreTranslateMessage(&m_msg); }
    void TranslateAndDispatch() override {
      ::TranslateMessage(&m_msg);
      ::DispatchMessageA(&m_msg);
    }

   private:
    CNyDialog& m_dialog;
    CWinApp* m_app;
    MSG& m_msg;
    MSG m_peek = {};
    HWND m_mainWnd;
  };

  m_mode = MODE_MODELESS_WAIT;
  m_bLoopEnd = FALSE;
  // Without a window there is nothing to wait for: the run fails at once
  // with the toolkit's failure code for a dialog that cannot be created.
  if (!CreateFromTemplate(SW_SHOW)) {
    m_mode = MODE_NONE;
    m_nReturnCode = -1;
    return m_nReturnCode;
  }
  SetActiveWindow();
  Host host(*this);
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  m_ptCursorLast = cursor;
  // On WM_QUIT the window is left as it is, and the mode too: the
  // application is ending.
  if (ny::loop::RunModelessWait(host, m_iAbortMessageID, m_nReturnCode, m_bLoopEnd) ==
      ny::loop::WaitEnd::Quit) {
    return m_nReturnCode;
  }
  ShowWindow(SW_HIDE);
  DestroyWindow();
  m_mode = MODE_NONE;
  return m_nReturnCode;
}

void CNyDialog::OnOK() {
  if (!UpdateData(TRUE) && !IsAutoRunning()) return;
  Capture(IDOK);
  switch (m_mode) {
    case MODE_MODAL:
      CDialog::OnOK();
      break;
    case MODE_MODELESS:
      DestroyWindow();
      break;
    case MODE_MODELESS_WAIT:
      m_nReturnCode = IDOK;
      m_bLoopEnd = TRUE;
      break;
    case MODE_NONE:
      break;
  }
}

void CNyDialog::OnCancel() {
  Capture(IDCANCEL);
  switch (m_mode) {
    case MODE_MODAL:
      CDialog::OnCancel();
      break;
    case MODE_MODELESS:
      DestroyWindow();
      break;
    case MODE_MODELESS_WAIT:
      m_nReturnCode = IDCANCEL;
      m_bLoopEnd = TRUE;
      break;
    case MODE_NONE:
      break;
  }
}

// ---- Small members --------------------------------------------------------------------

CNyDialog::mode CNyDialog::GetDialogMode() const { return m_mode; }
void CNyDialog::SetReturnCode(int nCode) { m_nReturnCode = nCode; }
void CNyDialog::LoopEnd() { m_bLoopEnd = TRUE; }
HINSTANCE CNyDialog::GetResourceHandle() const { return m_hResource; }
void CNyDialog::SetResourceHandle(HINSTANCE hResource) { m_hResource = hResource; }
void CNyDialog::SetResourceName(const char* moduleName) { m_hResource = ::GetModuleHandleA(moduleName); }

BOOL CNyDialog::IsIdleMessage(MSG* pMsg) {
  if (!pMsg) return FALSE;
  ny::loop::Cursor last{m_ptCursorLast.x, m_ptCursorLast.y};
  const bool idle = ny::loop::IsIdleMessage(pMsg->message, {pMsg->pt.x, pMsg->pt.y}, last, m_nMsgLast);
  m_ptCursorLast = CPoint(last.x, last.y);
  return idle;
}

void CNyDialog::OnSize(UINT, int cx, int cy) {
  Default();
  OnSizeHelper(cx, cy);
}

void CNyDialog::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
  Default();
  OnGetMinMaxInfoHelper(lpMMI);
}

// ---- Saved position -------------------------------------------------------------------

bool CNyDialog::SaveDialogPos(const char* section, bool bSaveSize) {
  RECT r;
  if (!m_hWnd || !NormalRect(m_hWnd, &r)) return false;
  const auto write = [section](const char* key, long value) {
    return NyWriteUserConfig(section, key, value, nullptr);
  };
  if (!write("PositionX", r.left) || !write("PositionY", r.top)) return false;
  if (bSaveSize && (!write("SizeX", r.right - r.left) || !write("SizeY", r.bottom - r.top))) return false;
  HWND reference = ReferenceWindow(m_hWnd);
  RECT p;
  if (!reference || !NormalRect(reference, &p)) return true;
  return write("PositionFromParentX", r.left - p.left) && write("PositionFromParentY", r.top - p.top);
}

bool CNyDialog::RestoreDialogPos(const char* section, bool bRestoreSize) {
  if (!m_hWnd) return false;
  RECT window;
  GetWindowRect(&window);
  ny::layout::SavedDialogPos saved;
  saved.position = ReadPair(section, "PositionX", "PositionY");
  if (!saved.position) saved.legacyTopLeft = ReadPair(section, "left", "top");
  if (bRestoreSize) {
    if (const auto size = ReadPair(section, "SizeX", "SizeY")) {
      saved.size = ny::layout::Size{size->x, size->y};
    } else {
      saved.legacyBottomRight = ReadPair(section, "right", "bottom");
    }
  }
  std::optional<ny::layout::Rect> parent;
  HWND reference = ReferenceWindow(m_hWnd);
  RECT p;
  if (reference && (saved.fromParent = ReadPair(section, "PositionFromParentX", "PositionFromParentY")) &&
      NormalRect(reference, &p)) {
    parent = ny::layout::ToLayout(p);
  }
  bool changed = false;
  ny::layout::Rect rc =
      ny::layout::PlaceSavedDialog(ny::layout::ToLayout(window), saved, bRestoreSize, parent, &changed);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (NyGetBelongingMonitorInfo(CRect(ny::layout::ToRect(rc)), monitor) &&
      ny::layout::ClampToWorkArea(rc, ny::layout::ToLayout(monitor.rcWork), bRestoreSize)) {
    changed = true;
  }
  if (!changed) return false;
  MoveWindow(rc.left, rc.top, rc.Width(), rc.Height(), FALSE);
  return true;
}
