// The window and monitor utilities' window part: each reads what the
// platform has, hands it to the layout arithmetic, and applies the answer.
#include "base/NyWindows.h"

#include <string>
#include <vector>

#include "NyDialogs.h"
#include "base/NyScopedGdi.h"
#include "dialogs/NyLayoutWin.h"

using ny::layout::ToLayout;

namespace {

// A child's window rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child) {
  RECT rect;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

struct Monitors {
  std::vector<MONITORINFO> infos;
  std::vector<ny::layout::Rect> rects;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoA(monitor, &info)) {
    auto* all = reinterpret_cast<Monitors*>(data);
    all->infos.push_back(info);
    all->rects.push_back(ToLayout(info.rcMonitor));
  }
  return TRUE;
}

}  // namespace

CSize NyGetTextExtent(CDC* pDC, const CString& text) {
  std::vector<ny::layout::Size> extents;
  HDC hDC = pDC ? pDC->m_hAttribDC : nullptr;
  for (const std::string& line :
       ny::layout::LinesToMeasure(std::string(text.GetString(), text.GetLength()))) {
    SIZE size = {0, 0};
    if (hDC) ::GetTextExtentPoint32A(hDC, line.c_str(), static_cast<int>(line.size()), &size);
    extents.push_back({size.cx, size.cy});
  }
  const ny::layout::Size total = ny::layout::CombineLineExtents(extents);
  return CSize(total.cx, total.cy);
}

bool NyHideControlsAndResizeWindow(CWnd* pWnd, int nIDFirst, int nIDEnd) {
  HWND hWnd = pWnd->GetSafeHwnd();
  if (!hWnd) return false;
  std::vector<HWND> handles;
  std::vector<ny::layout::Child> children;
  for (HWND child = ::GetTopWindow(hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    handles.push_back(child);
    const bool visible = (::GetWindowLongPtr(child, GWL_STYLE) & WS_VISIBLE) != 0;
    children.push_back({::GetDlgCtrlID(child), ToLayout(ChildRect(hWnd, child)), visible});
  }
  RECT client;
  ::GetClientRect(hWnd, &client);
  const ny::layout::HidePlan plan =
      ny::layout::PlanHideControls(children, ToLayout(client), nIDFirst, nIDEnd);
  for (size_t index : plan.hidden) ::ShowWindow(handles[index], SW_HIDE);
  if (!plan.found) return false;
  for (const ny::layout::ChildMove& move : plan.moves) {
    ::SetWindowPos(handles[move.index], nullptr, move.rect.left, move.rect.top, move.rect.Width(),
                   move.rect.Height(), SWP_NOZORDER);
  }
  RECT window;
  ::GetWindowRect(hWnd, &window);
  window.bottom += plan.shift;
  // A child window's rectangle is moved in its parent's coordinates.
  if (HWND parent = (::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hWnd) : nullptr) {
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&window), 2);
  }
  ::MoveWindow(hWnd, window.left, window.top, window.right - window.left, window.bottom - window.top, TRUE);
  return true;
}

int NyAdjustComboBoxDroppedWidth(CComboBox* pCombo) {
  HWND combo = pCombo ? pCombo->GetSafeHwnd() : nullptr;
  if (!combo) return CB_ERR;
  TEXTMETRICA metrics = {};
  std::vector<int> widths;
  {
    // The font goes back and the DC is released before the request.
    ny::ScopedGetDC dc(combo);
    auto font = reinterpret_cast<HFONT>(::SendMessageA(combo, WM_GETFONT, 0, 0));
    if (!dc || !font) return CB_ERR;
    ny::ScopedSelectObject selected(dc.Get(), font);
    if (!selected.IsSelected()) return CB_ERR;
    ::GetTextMetricsA(dc.Get(), &metrics);
    std::string text;
    // The count is asked again at every step, as the list may change while
    // it is measured.
    for (LRESULT i = 0; i < ::SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
      const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
      if (length < 0) continue;
      text.assign(static_cast<size_t>(length) + 1, '\0');
      const LRESULT got =
          ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
      SIZE size = {0, 0};
      ::GetTextExtentPoint32A(dc.Get(), text.c_str(), got > 0 ? static_cast<int>(got) : 0, &size);
      widths.push_back(size.cx);
    }
  }
  const int width = ny::layout::ComboDroppedWidth(
      widths, metrics.tmAveCharWidth, ::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CXVSCROLL));
  return static_cast<int>(::SendMessageA(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0));
}

bool NyGetBelongingMonitorInfo(const CPoint& pt, MONITORINFO& info) {
  Monitors monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  const int index = ny::layout::BelongingMonitor(monitors.rects, {pt.x, pt.y});
  if (index < 0) return false;
  info = monitors.infos[static_cast<size_t>(index)];
  return true;
}

bool NyGetBelongingMonitorInfo(const CRect& rc, MONITORINFO& info) {
  const ny::layout::Point centre = ny::layout::RectCentre(ToLayout(rc));
  return NyGetBelongingMonitorInfo(CPoint(centre.x, centre.y), info);
}

bool NyGetBelongingMonitorInfo(CWnd* pWnd, MONITORINFO& info) {
  if (!pWnd) pWnd = AfxGetMainWnd();
  HWND hWnd = pWnd->GetSafeHwnd();
  if (!hWnd) return false;
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!::GetWindowPlacement(hWnd, &placement)) return false;
  return NyGetBelongingMonitorInfo(CRect(placement.rcNormalPosition), info);
}
