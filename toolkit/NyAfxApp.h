// Toolkit application objects: MFC's CWinThread and CWinApp with their
// message pump and idle processing, the module's resource handle, and the
// global Afx functions that reach them.
#pragma once

#include <windows.h>

#include "NyApi.h"
#include "toolkit/NyAfxWnd.h"

// Sent to a dialog while its modal loop is idle (lParam: the idle count).
#ifndef WM_KICKIDLE
#define WM_KICKIDLE 0x036A
#endif

class NY_API CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)

 public:
  CWinThread();

  CWnd* m_pMainWnd = nullptr;
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;

  virtual CWnd* GetMainWnd();
  virtual BOOL InitInstance();
  virtual int ExitInstance();
  // The thread's message loop: idle work while the queue is empty, then the
  // messages until WM_QUIT; answers ExitInstance's result.
  virtual int Run();
  // Offers a message to the windows it is for, from the target up to the
  // main window, then lets it be translated and dispatched; false on WM_QUIT.
  virtual BOOL PumpMessage();
  // True when the message was consumed before dispatch.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Idle work; lCount counts the calls since the last message. False when
  // there is no more to do. Count 1 frees the thread's temporary objects.
  virtual BOOL OnIdle(LONG lCount);
  // Whether a message ends idle time (mouse moves that change nothing and
  // the caret's blink do not).
  virtual BOOL IsIdleMessage(MSG* pMsg);

 private:
  POINT m_ptCursorLast = {-1, -1};
  UINT m_nMsgLast = 0;
};

class NY_API CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)

 public:
  // The application object; one per process, usually a global of the host.
  explicit CWinApp(LPCTSTR lpszAppName = nullptr);
  ~CWinApp() override;

  LPCTSTR m_pszAppName = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPTSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;

  virtual BOOL InitApplication();
  // How AfxMessageBox shows a message; a host (or a test) may answer
  // without a window.
  virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

 private:
  CString m_strAppName;
};

NY_API CWinApp* AfxGetApp();
NY_API CWinThread* AfxGetThread();
NY_API CWnd* AfxGetMainWnd();
NY_API HINSTANCE AfxGetInstanceHandle();
// The module templates, bitmaps and strings are loaded from: the
// executable unless set.
NY_API HINSTANCE AfxGetResourceHandle();
NY_API void AfxSetResourceHandle(HINSTANCE hInstResource);
// The module that holds the resource: the current resource module when it
// does, else the executable, else the DLL itself.
NY_API HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
NY_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
NY_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// Frees the thread's temporary window and GDI objects.
NY_API void AfxDeleteTempMaps();
// Gets and dispatches one message through the current thread object;
// false on WM_QUIT.
NY_API BOOL AfxPumpMessage();

// Runs the application object as the real toolkit's own WinMain does:
// InitApplication, InitInstance, then Run (or ExitInstance when the
// initialisation failed). A host's WinMain returns its result:
//
//   int WINAPI WinMain(HINSTANCE h, HINSTANCE p, LPSTR cmd, int show) {
//     return AfxWinMain(h, p, cmd, show);
//   }
NY_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
