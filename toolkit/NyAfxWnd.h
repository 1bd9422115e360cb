// Toolkit windows: MFC's CWnd on the platform's windows, with a per-thread
// handle map, message maps, subclassing and reflection of notifications to
// the control that sent them.
#pragma once

#include <windows.h>

#include "NyApi.h"
#include "toolkit/NyAfxMsgMap.h"
#include "toolkit/NyAfxObject.h"
#include "toolkit/NyAfxString.h"
#include "toolkit/NyAfxTypes.h"

// The platform headers define these two as macros over other functions.
#undef SubclassWindow
#undef GetNextWindow

class CDC;
class CFont;
class CDataExchange;
class CScrollBar;

// The messages a window is handling on this thread, as the real toolkit keeps
// them: m_msgCur is the message the toolkit's pump retrieved last,
// m_lastSentMsg the one the window procedure is processing now (what
// CWnd::Default passes on).
struct NY_API _AFX_THREAD_STATE {
  MSG m_msgCur;
  MSG m_lastSentMsg;
};
NY_API _AFX_THREAD_STATE* AfxGetThreadState();
NY_API const MSG* AfxGetCurrentMessage();

class NY_API CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

 public:
  CWnd() = default;
  // A window still attached is destroyed with its object.
  ~CWnd() override;

  HWND m_hWnd = nullptr;
  // Both answer null when called through a null pointer, which hosts rely
  // on (pWnd->GetSafeHwnd() with no window).
  operator HWND() const { return GetSafeHwnd(); }
  HWND GetSafeHwnd() const;

  // ---- The handle map --------------------------------------------------------
  // The object attached to hWnd on this thread, or a temporary one that
  // lives until the thread's next idle time (null for a null handle).
  static CWnd* PASCAL FromHandle(HWND hWnd);
  // The object attached to hWnd on this thread, or null.
  static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
  // Frees this thread's temporary objects (the idle processing calls it).
  static void PASCAL DeleteTempMap();
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Attaches and routes the window's messages through this object; the
  // window's own procedure becomes the default one.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  // Puts the window's own procedure back and detaches.
  HWND UnsubclassWindow();

  // ---- Creation and destruction ----------------------------------------------
  // lpszClassName null: the toolkit's plain window class.
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();

  // ---- Message processing -----------------------------------------------------
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) override;
  // Passes the message being handled to the default procedure.
  LRESULT Default();
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Sends WM_SETREDRAW.
  void SetRedraw(BOOL bRedraw = TRUE);

  // ---- Data exchange ----------------------------------------------------------
  // Runs DoDataExchange in the given direction; false when a field failed
  // (the user was told, the field has the focus).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // ---- Geometry and state ------------------------------------------------------
  void GetWindowRect(LPRECT lpRect) const;
  void GetClientRect(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ScreenToClient(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsIconic() const;
  BOOL IsZoomed() const;
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  void Invalidate(BOOL bErase = TRUE);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void ValidateRect(LPCRECT lpRect);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgnUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
  int GetWindowRgn(HRGN hRgn) const;

  // ---- Relatives -----------------------------------------------------------------
  CWnd* GetDlgItem(int nID) const;
  void GetDlgItem(int nID, HWND* phWnd) const;
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int nID);
  CWnd* GetParent() const;
  CWnd* GetOwner() const;
  CWnd* GetTopWindow() const;
  CWnd* GetWindow(UINT nCmd) const;
  CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const;
  CWnd* GetTopLevelParent() const;
  BOOL IsChild(const CWnd* pWnd) const;

  // ---- Text -----------------------------------------------------------------------
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const;
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
  void CheckDlgButton(int nIDButton, UINT nCheck);
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  UINT IsDlgButtonChecked(int nIDButton) const;

  // ---- Focus, capture, timers, fonts, device contexts ------------------------------------
  CWnd* SetFocus();
  static CWnd* PASCAL GetFocus();
  CWnd* SetActiveWindow();
  static CWnd* PASCAL GetActiveWindow();
  BOOL SetForegroundWindow();
  CWnd* SetCapture();
  static CWnd* PASCAL GetCapture();
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void(CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD));
  BOOL KillTimer(UINT_PTR nIDEvent);
  // The font the window answers to WM_GETFONT (a temporary object), or null.
  CFont* GetFont() const;
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  // A temporary object for the window's client-area device context; give it
  // back with ReleaseDC.
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* pDC);

  // The window procedure of every toolkit window.
  static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

 protected:
  // The order of processing: WindowProc offers the message to OnWndMsg (the
  // message map, commands, notifications and reflection) and passes what
  // it did not take to DefWindowProc (the window's own procedure).
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // A parent's notification handed back to this control; true when taken.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // The control's own map, under WM_REFLECT_BASE plus the message.
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Hands a notification to the control hWndChild if it is a toolkit window.
  static BOOL PASCAL ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT* pResult);
  virtual void PreSubclassWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  // Called after the window's last message; the object is detached by then
  // and may delete itself here.
  virtual void PostNcDestroy();
  virtual void DoDataExchange(CDataExchange* pDX);

  // Default handlers: each passes its message on to the default procedure.
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);

  // The window's own procedure, called for what the maps leave.
  WNDPROC m_pfnSuper = nullptr;

  DECLARE_MESSAGE_MAP()

 private:
  void OnNcDestroyed();
  BOOL ReflectCtlColor(UINT message, WPARAM wParam, LRESULT* pResult);
  friend LRESULT CALLBACK NyAfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);
  friend class CDialog;
};

// The next window this thread creates is attached to pWnd as it is created
// (before its first message); the dialog classes use it around the
// platform's dialog creation. Returns false when a hook cannot be set.
NY_API BOOL AfxHookWindowCreate(CWnd* pWnd);
// True when the window was attached; ends the hook.
NY_API BOOL AfxUnhookWindowCreate();
