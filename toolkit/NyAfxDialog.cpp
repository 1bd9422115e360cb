// CDialog: creation from templates through the creation hook, and the
// toolkit's own modal loop.
#include "toolkit/NyAfxDialog.h"

#include "base/NyWindows.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

BEGIN_MESSAGE_MAP(CDialogEx, CDialog)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (!pWnd || !pWnd->IsKindOf(RUNTIME_CLASS(CDialog))) return TRUE;
  try {
    return static_cast<CDialog*>(pWnd)->OnInitDialog();
  } catch (...) {
    return TRUE;
  }
}

HGLOBAL CDialog::LoadTemplate(HINSTANCE* module) const {
  if (!m_lpszTemplateName) return nullptr;
  *module = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
  HRSRC found = ::FindResourceA(*module, m_lpszTemplateName, RT_DIALOG);
  return found ? ::LoadResource(*module, found) : nullptr;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  HINSTANCE module = nullptr;
  HGLOBAL resource = LoadTemplate(&module);
  if (!resource) return FALSE;
  return CreateIndirect(static_cast<LPCDLGTEMPLATE>(::LockResource(resource)), pParentWnd, module);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDHelp = nIDTemplate;
  return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
  if (m_hWnd || !lpDialogTemplate) return FALSE;
  // Without a parent the dialog belongs to the application's main window.
  if (!pParentWnd) pParentWnd = AfxGetMainWnd();
  if (pParentWnd) m_pParentWnd = pParentWnd;
  if (!AfxHookWindowCreate(this)) return FALSE;
  HWND hWnd = ::CreateDialogIndirectParamA(hInst ? hInst : AfxGetResourceHandle(), lpDialogTemplate,
                                           pParentWnd->GetSafeHwnd(), &CDialog::DialogProc, 0);
  AfxUnhookWindowCreate();
  return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // Keys go through the platform's dialog navigation: Tab, arrows, Enter
  // (the default button) and Escape (IDCANCEL).
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd) {
    return ::IsDialogMessageA(m_hWnd, pMsg);
  }
  return FALSE;
}

namespace {

// The window a modal dialog disables: its parent's top-level window, or the
// application's main window.
HWND ModalOwner(CWnd* parent) {
  HWND hWnd = parent->GetSafeHwnd();
  if (!hWnd) hWnd = AfxGetMainWnd()->GetSafeHwnd();
  while (hWnd && (::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  return hWnd;
}

}  // namespace

INT_PTR CDialog::DoModal() {
  HINSTANCE module = nullptr;
  HGLOBAL resource = LoadTemplate(&module);
  if (!resource) return -1;
  HWND owner = ModalOwner(m_pParentWnd);
  // The owner stays disabled for the whole run, as a modal window's owner.
  BOOL enableOwner = FALSE;
  if (owner && ::IsWindowEnabled(owner)) {
    ::EnableWindow(owner, FALSE);
    enableOwner = TRUE;
  }
  m_nModalResult = -1;
  m_bContinueModal = TRUE;
  if (CreateIndirect(static_cast<LPCDLGTEMPLATE>(::LockResource(resource)), CWnd::FromHandle(owner),
                     module)) {
    RunModalLoop();
  }
  m_bContinueModal = FALSE;
  if (m_hWnd) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  // The owner comes back before the dialog goes, so that it gets the
  // activation back.
  if (enableOwner) ::EnableWindow(owner, TRUE);
  if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
  DestroyWindow();
  return m_nModalResult;
}

BOOL CDialog::ContinueModal() { return m_bContinueModal; }

void CDialog::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_bContinueModal) {
    m_bContinueModal = FALSE;
    // Wakes the loop if it waits for a message.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
  }
}

void CDialog::EndDialog(int nResult) {
  if (m_bContinueModal || m_bModalLoop) EndModalLoop(nResult);
  if (m_hWnd) ::EndDialog(m_hWnd, nResult);
}

int CDialog::RunModalLoop(DWORD) {
  m_bModalLoop = TRUE;
  HWND hWnd = m_hWnd;
  BOOL idle = TRUE;
  LONG idleCount = 0;
  BOOL shown = (GetStyle() & WS_VISIBLE) != 0;
  MSG& msg = AfxGetThreadState()->m_msgCur;
  CWinThread* thread = AfxGetThread();
  while (ContinueModal()) {
    while (idle && ContinueModal() && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!shown) {
        // Shown once the queue is empty, so that it appears initialised.
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(hWnd);
        shown = TRUE;
      }
      if (!::SendMessageA(hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++)) idle = FALSE;
    }
    if (!ContinueModal()) break;
    if (!AfxPumpMessage()) {
      // The application is quitting: the run ends and the quit goes on.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      m_nModalResult = -1;
      break;
    }
    if (!::IsWindow(hWnd)) break;
    if (!thread || thread->IsIdleMessage(&msg)) {
      idle = TRUE;
      idleCount = 0;
    }
  }
  m_bModalLoop = FALSE;
  return m_nModalResult;
}

void CDialog::NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), 1);
}
void CDialog::SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
