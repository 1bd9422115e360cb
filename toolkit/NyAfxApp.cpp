// CWinThread, CWinApp, the module's resource handle and the Afx functions.
#include "toolkit/NyAfxApp.h"

#include "base/NyWindows.h"

#include "base/NyLibraryModule.h"
#include "base/NyMultiByte.h"
#include "dialogs/NyMessageLoop.h"
#include "toolkit/NyAfxDC.h"
#include "toolkit/NyWndThreadState.h"

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;
thread_local CWinThread* t_thread = nullptr;

}  // namespace

HMODULE ny::LibraryModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ny::LibraryModule), &module);
  return module;
}

// ---- Thread ------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() {
  m_nThreadID = ::GetCurrentThreadId();
  if (!t_thread) t_thread = this;
}

CWnd* CWinThread::GetMainWnd() { return m_pMainWnd; }
BOOL CWinThread::InitInstance() { return FALSE; }
int CWinThread::ExitInstance() { return static_cast<int>(AfxGetThreadState()->m_msgCur.wParam); }

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  // From the window the message is for up to (and including) the main
  // window, or the top of its own tree: the first that takes it consumes it.
  HWND stop = GetMainWnd()->GetSafeHwnd();
  for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd)) {
      if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    if (hWnd == stop) break;
  }
  return FALSE;
}

BOOL CWinThread::PumpMessage() {
  MSG& msg = AfxGetThreadState()->m_msgCur;
  if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) return FALSE;
  if (!PreTranslateMessage(&msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) return TRUE;
  if (lCount == 1) {
    AfxDeleteTempMaps();
    return TRUE;
  }
  return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg) {
  ny::loop::Cursor last{m_ptCursorLast.x, m_ptCursorLast.y};
  const bool idle = ny::loop::IsIdleMessage(pMsg->message, {pMsg->pt.x, pMsg->pt.y}, last, m_nMsgLast);
  m_ptCursorLast = {last.x, last.y};
  return idle;
}

int CWinThread::Run() {
  BOOL idle = TRUE;
  LONG idleCount = 0;
  MSG& msg = AfxGetThreadState()->m_msgCur;
  for (;;) {
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = FALSE;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&msg)) {
        idle = TRUE;
        idleCount = 0;
      }
    } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

// ---- Application -----------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinApp::CWinApp(LPCTSTR lpszAppName) {
  if (!g_app) g_app = this;
  m_hInstance = ::GetModuleHandleA(nullptr);
  if (lpszAppName) {
    m_strAppName = lpszAppName;
  } else {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    // The executable's name without folder and extension.
    const char* slash = ny::mb::FindLastOf(path, "\\/");
    const char* name = slash ? slash + 1 : path;
    const char* dot = ny::mb::FindLastOf(name, ".");
    m_strAppName = dot ? CString(name, static_cast<int>(dot - name)) : CString(name);
  }
  m_pszAppName = m_strAppName.GetString();
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitApplication() { return TRUE; }

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
  HWND owner = ::GetActiveWindow();
  if (!owner) owner = GetMainWnd()->GetSafeHwnd();
  return ::MessageBoxA(owner, lpszPrompt, m_pszAppName, nType);
}

CWinApp* AfxGetApp() { return g_app; }

CWinThread* AfxGetThread() {
  if (t_thread) return t_thread;
  return g_app;
}

CWnd* AfxGetMainWnd() {
  CWinThread* thread = AfxGetThread();
  return thread ? thread->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : ::GetModuleHandleA(nullptr); }

HINSTANCE AfxGetResourceHandle() { return g_resourceHandle ? g_resourceHandle : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_resourceHandle = hInstResource; }

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType) {
  for (HINSTANCE module : {AfxGetResourceHandle(), AfxGetInstanceHandle(), ny::LibraryModule()}) {
    if (module && ::FindResourceA(module, lpszName, lpszType)) return module;
  }
  return AfxGetResourceHandle();
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
  if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(lpszText, nType, nIDHelp);
  return ::MessageBoxA(::GetActiveWindow(), lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  char text[1024] = "";
  const auto id = MAKEINTRESOURCEA((nIDPrompt >> 4) + 1);
  ::LoadStringA(AfxFindResourceHandle(id, RT_STRING), nIDPrompt, text, sizeof text);
  return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

void AfxDeleteTempMaps() {
  CWnd::DeleteTempMap();
  NyAfxDeleteTempGdiObjects();
}

BOOL AfxPumpMessage() {
  if (CWinThread* thread = AfxGetThread()) return thread->PumpMessage();
  MSG& msg = AfxGetThreadState()->m_msgCur;
  if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) return FALSE;
  ::TranslateMessage(&msg);
  ::DispatchMessageA(&msg);
  return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = hInstance ? hInstance : ::GetModuleHandleA(nullptr);
  app->m_lpCmdLine = lpCmdLine;
  app->m_nCmdShow = nCmdShow;
  try {
    if (!app->InitApplication() || !app->InitInstance()) {
      if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
      return app->ExitInstance();
    }
    return app->Run();
  } catch (...) {
    return -1;
  }
}
