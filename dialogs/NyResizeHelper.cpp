// The resize helper's window part: reads the geometry, lets the layout
// arithmetic place each control, and moves the controls.
#include "base/NyWindows.h"

#include "NyDialogs.h"
#include "dialogs/NyLayoutWin.h"

using ny::layout::ToLayout;

namespace {

// The child `id` of `parent`: the one remembered when it is still that child
// (asking the platform for it by id walks every child, under Wine through
// the server), else looked up again.
HWND AnchoredChild(HWND parent, int id, HWND remembered) {
  if (remembered && ::GetParent(remembered) == parent && ::GetDlgCtrlID(remembered) == id) return remembered;
  return ::GetDlgItem(parent, id);
}

}  // namespace

CNyWndResizeHelper::~CNyWndResizeHelper() = default;

CWnd* CNyWndResizeHelper::Window() { return dynamic_cast<CWnd*>(this); }

void CNyWndResizeHelper::SetAnchor(int nID, UINT nAnchor) {
  UnsetAnchor(nID);
  CWnd* window = Window();
  HWND hWnd = window ? window->GetSafeHwnd() : nullptr;
  HWND child = hWnd ? ::GetDlgItem(hWnd, nID) : nullptr;
  if (!child) return;
  RECT rect, client;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, hWnd, reinterpret_cast<POINT*>(&rect), 2);
  ::GetClientRect(hWnd, &client);
  m_anchors[nID] = Anchor{nAnchor, rect, SIZE{client.right - client.left, client.bottom - client.top}, child};
}

void CNyWndResizeHelper::UnsetAnchor(int nID) { m_anchors.erase(nID); }

void CNyWndResizeHelper::SetMinimumSize(int cx, int cy) { m_sizeMinimum = CSize(cx, cy); }
void CNyWndResizeHelper::SetMinimumSize(const CSize& size) { m_sizeMinimum = size; }
void CNyWndResizeHelper::SetMaximumSize(int cx, int cy) { m_sizeMaximum = CSize(cx, cy); }
void CNyWndResizeHelper::SetMaximumSize(const CSize& size) { m_sizeMaximum = size; }
void CNyWndResizeHelper::UnsetMinimumSize(int, int) { m_sizeMinimum = CSize(0, 0); }
void CNyWndResizeHelper::UnsetMaximumSize(int, int) { m_sizeMaximum = CSize(0x7fffffff, 0x7fffffff); }
CSize CNyWndResizeHelper::GetMinimumSize() const { return m_sizeMinimum; }
CSize CNyWndResizeHelper::GetMaximumSize() const { return m_sizeMaximum; }

void CNyWndResizeHelper::OnSizeHelper(int cx, int cy) {
  if (m_anchors.empty()) return;
  CWnd* window = Window();
  HWND hWnd = window ? window->GetSafeHwnd() : nullptr;
  if (!hWnd) return;
  // The moves go straight to the platform: a resize costs the moves and
  // nothing more (no toolkit objects for the children).
  for (auto& [id, anchor] : m_anchors) {
    HWND child = AnchoredChild(hWnd, id, anchor.child);
    if (!child) continue;
    anchor.child = child;
    const ny::layout::Rect r = ny::layout::AnchoredRect(anchor.flags, ToLayout(anchor.rect),
                                                        {anchor.client.cx, anchor.client.cy}, {cx, cy});
    ::MoveWindow(child, r.left, r.top, r.Width(), r.Height(), TRUE);
  }
  ::InvalidateRect(hWnd, nullptr, TRUE);
}

void CNyWndResizeHelper::OnGetMinMaxInfoHelper(MINMAXINFO* lpMMI) {
  if (!lpMMI) return;
  ny::layout::Point minTrack{lpMMI->ptMinTrackSize.x, lpMMI->ptMinTrackSize.y};
  ny::layout::Point maxTrack{lpMMI->ptMaxTrackSize.x, lpMMI->ptMaxTrackSize.y};
  ny::layout::ClampTrackSizes(minTrack, maxTrack, {m_sizeMinimum.cx, m_sizeMinimum.cy},
                              {m_sizeMaximum.cx, m_sizeMaximum.cy});
  lpMMI->ptMinTrackSize = POINT{minTrack.x, minTrack.y};
  lpMMI->ptMaxTrackSize = POINT{maxTrack.x, maxTrack.y};
}
