// CWnd: the handle map, creation through a CBT hook, the window procedure,
// message dispatch and reflection.
#include "toolkit/NyAfxWnd.h"

#include "base/NyWindows.h"

#include <memory>
#include <unordered_map>

#include "toolkit/NyAfxGdi.h"
#include "toolkit/NyWndThreadState.h"

// ---- Thread state -------------------------------------------------------------

namespace ny::afx {

WndThreadState& ThisThread() {
  thread_local WndThreadState state;
  return state;
}

}  // namespace ny::afx

using ny::afx::ThisThread;

_AFX_THREAD_STATE* AfxGetThreadState() { return &ThisThread().pub; }
const MSG* AfxGetCurrentMessage() { return &ThisThread().pub.m_msgCur; }

// ---- The handle map ----------------------------------------------------------

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
    // The window goes with its object; its last messages must not reach a
    // half-destroyed object, so the object lets go of it first.
    HWND hWnd = m_hWnd;
    UnsubclassWindow();
    ::DestroyWindow(hWnd);
  }
}

HWND CWnd::GetSafeHwnd() const {
  // Read through a volatile so that the null test survives the optimiser.
  const CWnd* volatile self = this;
  return self ? self->m_hWnd : nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (!hWnd) return nullptr;
  auto& map = ThisThread().permanent;
  auto found = map.find(hWnd);
  return found == map.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
  auto& temporary = ThisThread().temporary;
  std::unique_ptr<CWnd>& slot = temporary[hWnd];
  if (!slot) {
    slot.reset(new CWnd);
    slot->m_hWnd = hWnd;
  }
  return slot.get();
}

void CWnd::DeleteTempMap() {
  auto& temporary = ThisThread().temporary;
  // A temporary object never owns its window.
  for (auto& entry : temporary) entry.second->m_hWnd = nullptr;
  temporary.clear();
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (!hWndNew || m_hWnd || FromHandlePermanent(hWndNew)) return FALSE;
  // A temporary object for the same window would outlive its meaning.
  auto& temporary = ThisThread().temporary;
  auto found = temporary.find(hWndNew);
  if (found != temporary.end()) {
    found->second->m_hWnd = nullptr;
    temporary.erase(found);
  }
  m_hWnd = hWndNew;
  ThisThread().permanent[hWndNew] = this;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd) {
    auto& map = ThisThread().permanent;
    auto found = map.find(hWnd);
    if (found != map.end() && found->second == this) map.erase(found);
  }
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!::IsWindow(hWnd) || !Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  auto old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
  if (!old) {
    Detach();
    return FALSE;
  }
  if (old != &CWnd::AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND parent = pParent->GetSafeHwnd();
  HWND control = parent ? ::GetDlgItem(parent, static_cast<int>(nID)) : nullptr;
  return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper && m_hWnd) ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

// ---- Creation ------------------------------------------------------------------

// Attaches the window being created to the object waiting for it, before the
// window's first message (WM_GETMINMAXINFO, WM_NCCREATE) is sent.
LRESULT CALLBACK NyAfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  ny::afx::WndThreadState& state = ThisThread();
  if (code == HCBT_CREATEWND && state.windowInit) {
    CWnd* pWnd = state.windowInit;
    state.windowInit = nullptr;
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (pWnd->Attach(hWnd)) {
      pWnd->PreSubclassWindow();
      auto old = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
      if (old != &CWnd::AfxWndProc) pWnd->m_pfnSuper = old;
    }
  }
  return ::CallNextHookEx(state.cbtHook, code, wParam, lParam);
}

BOOL AfxHookWindowCreate(CWnd* pWnd) {
  ny::afx::WndThreadState& state = ThisThread();
  if (!state.cbtHook) {
    state.cbtHook = ::SetWindowsHookExA(WH_CBT, NyAfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    if (!state.cbtHook) return FALSE;
  }
  state.windowInit = pWnd;
  return TRUE;
}

BOOL AfxUnhookWindowCreate() {
  ny::afx::WndThreadState& state = ThisThread();
  if (state.cbtHook) {
    ::UnhookWindowsHookEx(state.cbtHook);
    state.cbtHook = nullptr;
  }
  const BOOL attached = state.windowInit == nullptr;
  state.windowInit = nullptr;
  return attached;
}

namespace {

const char kPlainClass[] = "NyAfxWnd";

// The class of windows created without a class name: double clicks, an
// arrow, the window colour.
void RegisterPlainClass() {
  WNDCLASSA wc = {};
  if (::GetClassInfoA(::GetModuleHandleA(nullptr), kPlainClass, &wc)) return;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kPlainClass;
  ::RegisterClassA(&wc);
}

}  // namespace

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) {
    RegisterPlainClass();
    cs.lpszClass = kPlainClass;
  }
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;
  CREATESTRUCT cs = {};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = dwStyle;
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = ::GetModuleHandleA(nullptr);
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  if (!AfxHookWindowCreate(this)) return FALSE;
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  if (!hWnd) {
    // A window that failed during its creation messages was destroyed; its
    // last message has detached the object already.
    return FALSE;
  }
  return m_hWnd == hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void*) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}
void CWnd::DoDataExchange(CDataExchange*) {}

// ---- The window procedure ------------------------------------------------------

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (!pWnd) return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
  _AFX_THREAD_STATE& state = ThisThread().pub;
  const MSG previous = state.m_lastSentMsg;
  state.m_lastSentMsg = MSG{hWnd, nMsg, wParam, lParam, 0, {0, 0}};
  LRESULT result = 0;
  try {
    if (nMsg == WM_NCDESTROY) {
      // The last message: the window's own procedure first, then the object
      // lets go of the window and may delete itself. Nothing touches it after.
      result = pWnd->DefWindowProc(nMsg, wParam, lParam);
      pWnd->OnNcDestroyed();
    } else {
      result = pWnd->WindowProc(nMsg, wParam, lParam);
    }
  } catch (...) {
    // No exception leaves a window procedure: the platform's frames between
    // here and the pump cannot unwind.
    result = 0;
  }
  state.m_lastSentMsg = previous;
  return result;
}

void CWnd::OnNcDestroyed() {
  if (m_pfnSuper && ::IsWindow(m_hWnd) &&
      reinterpret_cast<WNDPROC>(::GetWindowLongPtr(m_hWnd, GWLP_WNDPROC)) == &CWnd::AfxWndProc) {
    ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  }
  m_pfnSuper = nullptr;
  Detach();
  PostNcDestroy();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& msg = ThisThread().pub.m_lastSentMsg;
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

namespace {

// WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC: a control asks its parent for
// colours; the type is the offset from the first.
bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The control a parent's notification comes from, for the messages that the
// toolkit reflects; null for others.
HWND NotifyingControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
      return item && item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(item->CtlID))
                                               : nullptr;
    }
    case WM_COMPAREITEM: {
      const auto* item = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam);
      return item ? item->hwndItem : nullptr;
    }
    case WM_DELETEITEM: {
      const auto* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam);
      return item ? item->hwndItem : nullptr;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      return reinterpret_cast<HWND>(lParam);
    default:
      if (IsCtlColor(message)) return reinterpret_cast<HWND>(lParam);
      (void)wParam;
      return nullptr;
  }
}

}  // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 0;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    LRESULT result = 0;
    if (!OnNotify(wParam, lParam, &result)) return FALSE;
    *pResult = result;
    return TRUE;
  }
  // Owner drawing, colours and scrolling go to the control first, as the
  // real toolkit reflects them; the parent's map sees what it leaves.
  if (HWND control = NotifyingControl(m_hWnd, message, wParam, lParam)) {
    if (ReflectToChild(control, message, wParam, lParam, pResult)) return TRUE;
  }
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
  if (!entry) return FALSE;
  BOOL handled = TRUE;
  *pResult = entry->pfn(this, wParam, lParam, &handled);
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT nID = LOWORD(wParam);
  const int nCode = HIWORD(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  // A control's notification goes to the control first (reflection).
  if (control && ReflectToChild(control, WM_COMMAND, wParam, lParam, nullptr)) return TRUE;
  return OnCmdMsg(nID, control ? nCode : 0, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header) return FALSE;
  if (header->hwndFrom && ReflectToChild(header->hwndFrom, WM_NOTIFY, header->idFrom, lParam, pResult))
    return TRUE;
  return OnCmdMsg(static_cast<UINT>(header->idFrom), static_cast<int>(header->code), header, pResult);
}

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) {
  return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CWnd::ReflectToChild(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  CWnd* child = FromHandlePermanent(hWndChild);
  if (!child) return FALSE;
  LRESULT ignored = 0;
  return child->OnChildNotify(message, wParam, lParam, pResult ? pResult : &ignored);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_COMMAND:
      return DispatchCommand(WM_REFLECT_BASE + WM_COMMAND, LOWORD(wParam), HIWORD(wParam), wParam, lParam,
                             nullptr);
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      return DispatchCommand(WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(header->idFrom),
                             static_cast<int>(header->code), wParam, lParam, pResult);
    }
    default: {
      if (IsCtlColor(message)) return ReflectCtlColor(message, wParam, pResult);
      const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + message, 0, 0);
      if (!entry) return FALSE;
      BOOL handled = TRUE;
      *pResult = entry->pfn(this, wParam, lParam, &handled);
      return TRUE;
    }
  }
}

// Every WM_CTLCOLOR* comes back to the control's map as the old combined
// message, with the control type as the handler's nCtlColor.
BOOL CWnd::ReflectCtlColor(UINT message, WPARAM wParam, LRESULT* pResult) {
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + NY_WM_CTLCOLOR, 0, 0);
  if (!entry) return FALSE;
  BOOL handled = TRUE;
  // A null brush means "not coloured here": the parent goes on.
  const LRESULT brush = entry->pfn(this, wParam, static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX), &handled);
  if (!brush) return FALSE;
  *pResult = brush;
  return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetRedraw(BOOL bRedraw) { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(bRedraw), 0); }

// ---- Default handlers ------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
