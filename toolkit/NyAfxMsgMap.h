// Toolkit message-map macros, with the real toolkit's names and handler
// signatures. Each entry carries a captureless lambda that is defined inside
// the class's own map function, so it may call protected handlers; it casts
// the target to the class and cracks the message's arguments.
#pragma once

#include <windows.h>

#include "toolkit/NyAfxObject.h"

#ifndef afx_msg
#define afx_msg
#endif

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    typedef theClass ThisClass [[maybe_unused]];                                    \
    typedef baseClass TheBaseClass;                                                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
  { 0, 0, 0, 0, nullptr }                                                                       \
  }                                                                                             \
  ;                                                                                             \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                           \
  }

// The target of an entry, as the map's class.
#define NY_AFX_THIS (static_cast<ThisClass*>(target))
// An entry for a window message whose handler's result is the message's.
#define NY_AFX_ENTRY(message, body)                                                           \
  {message, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, BOOL*) -> LRESULT { \
     (void)target;                                                                            \
     (void)wParam;                                                                            \
     (void)lParam;                                                                            \
     body                                                                                     \
   }},

// ---- Window messages ----------------------------------------------------------
#define ON_WM_CREATE() \
  NY_AFX_ENTRY(WM_CREATE, return NY_AFX_THIS->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));)
#define ON_WM_DESTROY() NY_AFX_ENTRY(WM_DESTROY, NY_AFX_THIS->OnDestroy(); return 0;)
#define ON_WM_CLOSE() NY_AFX_ENTRY(WM_CLOSE, NY_AFX_THIS->OnClose(); return 0;)
#define ON_WM_SIZE()                                                                                       \
  NY_AFX_ENTRY(WM_SIZE, NY_AFX_THIS->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), \
                                            static_cast<short>(HIWORD(lParam)));                           \
               return 0;)
#define ON_WM_GETMINMAXINFO()                                                                         \
  NY_AFX_ENTRY(WM_GETMINMAXINFO, NY_AFX_THIS->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); \
               return 0;)
#define ON_WM_SHOWWINDOW()                                                                      \
  NY_AFX_ENTRY(WM_SHOWWINDOW,                                                                   \
               NY_AFX_THIS->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); \
               return 0;)
#define ON_WM_PAINT() NY_AFX_ENTRY(WM_PAINT, NY_AFX_THIS->OnPaint(); return 0;)
#define ON_WM_ERASEBKGND()    \
  NY_AFX_ENTRY(WM_ERASEBKGND, \
               return NY_AFX_THIS->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));)
#define NY_AFX_MOUSE_ENTRY(message, handler)                                                                \
  NY_AFX_ENTRY(message,                                                                                     \
               NY_AFX_THIS->handler(static_cast<UINT>(wParam), CPoint(static_cast<short>(LOWORD(lParam)),   \
                                                                      static_cast<short>(HIWORD(lParam)))); \
               return 0;)
#define ON_WM_MOUSEMOVE() NY_AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() NY_AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() NY_AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() NY_AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() NY_AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() NY_AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSELEAVE() NY_AFX_ENTRY(WM_MOUSELEAVE, NY_AFX_THIS->OnMouseLeave(); return 0;)
#define NY_AFX_KEY_ENTRY(message, handler)                                                               \
  NY_AFX_ENTRY(message, NY_AFX_THIS->handler(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); \
               return 0;)
#define ON_WM_KEYDOWN() NY_AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() NY_AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() NY_AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_TIMER() NY_AFX_ENTRY(WM_TIMER, NY_AFX_THIS->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)
#define ON_WM_ENABLE() NY_AFX_ENTRY(WM_ENABLE, NY_AFX_THIS->OnEnable(static_cast<BOOL>(wParam)); return 0;)
#define ON_WM_KILLFOCUS()                                                                                \
  NY_AFX_ENTRY(WM_KILLFOCUS, NY_AFX_THIS->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); \
               return 0;)
#define ON_WM_SETFOCUS()                                                                               \
  NY_AFX_ENTRY(WM_SETFOCUS, NY_AFX_THIS->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); \
               return 0;)
#define ON_WM_CAPTURECHANGED()                                                                  \
  NY_AFX_ENTRY(WM_CAPTURECHANGED,                                                               \
               NY_AFX_THIS->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))); \
               return 0;)
#define NY_AFX_SCROLL_ENTRY(message, handler)                                                                \
  NY_AFX_ENTRY(                                                                                              \
      message,                                                                                               \
      NY_AFX_THIS->handler(LOWORD(wParam), HIWORD(wParam),                                                   \
                           reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)))); \
      return 0;)
#define ON_WM_HSCROLL() NY_AFX_SCROLL_ENTRY(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() NY_AFX_SCROLL_ENTRY(WM_VSCROLL, OnVScroll)
#define ON_MESSAGE(message, memberFxn) NY_AFX_ENTRY(message, return NY_AFX_THIS->memberFxn(wParam, lParam);)

// ---- Commands and notifications ---------------------------------------------------
// `handled` is left true: the plain forms take the command when they match.
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                               \
  {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
   [](CCmdTarget* target, WPARAM, LPARAM, BOOL*) -> LRESULT {                                \
     NY_AFX_THIS->memberFxn();                                                               \
     return 0;                                                                               \
   }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                      \
  {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(idLast),  \
   [](CCmdTarget* target, WPARAM wParam, LPARAM, BOOL*) -> LRESULT { \
     NY_AFX_THIS->memberFxn(static_cast<UINT>(wParam));              \
     return 0;                                                       \
   }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                               \
  {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
   [](CCmdTarget* target, WPARAM, LPARAM lParam, BOOL*) -> LRESULT {                        \
     LRESULT result = 0;                                                                    \
     NY_AFX_THIS->memberFxn(reinterpret_cast<NMHDR*>(lParam), &result);                     \
     return result;                                                                         \
   }},

// ---- Reflected to the control -----------------------------------------------------
// The parent hands these back to the control that sent them; the control's
// own map answers under WM_REFLECT_BASE plus the message. Any id matches.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                               \
  {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(wNotifyCode), 0, 0xFFFFFFFFu, \
   [](CCmdTarget* target, WPARAM, LPARAM, BOOL*) -> LRESULT {                    \
     NY_AFX_THIS->memberFxn();                                                   \
     return 0;                                                                   \
   }},
// The _EX form's handler answers whether the parent should not see it too.
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                            \
  {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(wNotifyCode), 0, 0xFFFFFFFFu, \
   [](CCmdTarget* target, WPARAM, LPARAM, BOOL* handled) -> LRESULT {            \
     *handled = NY_AFX_THIS->memberFxn();                                        \
     return 0;                                                                   \
   }},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                               \
  {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(wNotifyCode), 0, 0xFFFFFFFFu, \
   [](CCmdTarget* target, WPARAM, LPARAM lParam, BOOL*) -> LRESULT {            \
     LRESULT result = 0;                                                        \
     NY_AFX_THIS->memberFxn(reinterpret_cast<NMHDR*>(lParam), &result);         \
     return result;                                                             \
   }},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                               \
  {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(wNotifyCode), 0, 0xFFFFFFFFu,    \
   [](CCmdTarget* target, WPARAM, LPARAM lParam, BOOL* handled) -> LRESULT {       \
     LRESULT result = 0;                                                           \
     *handled = NY_AFX_THIS->memberFxn(reinterpret_cast<NMHDR*>(lParam), &result); \
     return result;                                                                \
   }},
// Every WM_CTLCOLOR* message comes back as the old combined WM_CTLCOLOR with
// the control type (CTLCOLOR_EDIT...) as the handler's nCtlColor.
#define NY_WM_CTLCOLOR 0x0019
#define ON_WM_CTLCOLOR_REFLECT()                                       \
  NY_AFX_ENTRY(WM_REFLECT_BASE + NY_WM_CTLCOLOR,                       \
               return reinterpret_cast<LRESULT>(NY_AFX_THIS->CtlColor( \
                   CDC::FromHandle(reinterpret_cast<HDC>(wParam)), static_cast<UINT>(lParam)));)
#define NY_AFX_SCROLL_REFLECT_ENTRY(message, handler) \
  NY_AFX_ENTRY(WM_REFLECT_BASE + message, NY_AFX_THIS->handler(LOWORD(wParam), HIWORD(wParam)); return 0;)
#define ON_WM_HSCROLL_REFLECT() NY_AFX_SCROLL_REFLECT_ENTRY(WM_HSCROLL, HScroll)
#define ON_WM_VSCROLL_REFLECT() NY_AFX_SCROLL_REFLECT_ENTRY(WM_VSCROLL, VScroll)
