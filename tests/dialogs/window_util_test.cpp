// The resize helper and the window and monitor utilities on real windows
// (the arithmetic itself has its tables in layout_test.cpp).
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "NyWindowTestSupport.h"

namespace {

class ResizableWnd : public CWnd, public CNyWndResizeHelper {
 public:
  using CNyWndResizeHelper::GetMaximumSize;
  using CNyWndResizeHelper::GetMinimumSize;
  using CNyWndResizeHelper::SetAnchor;
  using CNyWndResizeHelper::SetMaximumSize;
  using CNyWndResizeHelper::SetMinimumSize;
  using CNyWndResizeHelper::UnsetAnchor;
  using CNyWndResizeHelper::UnsetMaximumSize;

  HWND AddChild(int id, const RECT& r) {
    return ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             nullptr, nullptr);
  }
  CRect ChildRect(int id) const {
    CRect r;
    ::GetWindowRect(::GetDlgItem(m_hWnd, id), &r);
    ScreenToClient(&r);
    return r;
  }
  // Resizes the window so that its client area gets the given size.
  void SetClientSize(int cx, int cy) {
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    SetWindowPos(nullptr, 0, 0, cx + window.Width() - client.Width(), cy + window.Height() - client.Height(),
                 SWP_NOMOVE | SWP_NOZORDER);
  }

 protected:
  afx_msg void OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    OnSizeHelper(cx, cy);
  }
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
    CWnd::OnGetMinMaxInfo(lpMMI);
    OnGetMinMaxInfoHelper(lpMMI);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ResizableWnd, CWnd)
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

// A captioned, resizable window whose client area is 200 x 100.
struct Resizable {
  Resizable() {
    wnd.CreateEx(0, nullptr, "resize", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr);
    wnd.SetClientSize(200, 100);
  }
  ResizableWnd wnd;
};

}  // namespace

TEST(ResizeHelper, AnchoredControlsFollowTheClientArea) {
  nytest::Watchdog dog;
  Resizable r;
  ResizableWnd& w = r.wnd;
  w.AddChild(1, CRect(10, 10, 190, 90));   // all four edges
  w.AddChild(2, CRect(140, 70, 190, 90));  // the lower right corner
  w.AddChild(3, CRect(90, 40, 110, 60));   // no edge: the centre rule
  w.AddChild(4, CRect(10, 10, 50, 30));    // anchored, then unanchored
  w.SetAnchor(1, ANCHOR_TOP | ANCHOR_BOTTOM | ANCHOR_LEFT | ANCHOR_RIGHT);
  w.SetAnchor(2, ANCHOR_TOP);  // replaced by the next call
  w.SetAnchor(2, ANCHOR_RIGHT | ANCHOR_BOTTOM);
  w.SetAnchor(3, 0);
  w.SetAnchor(4, ANCHOR_RIGHT);
  w.UnsetAnchor(4);
  w.SetAnchor(99, ANCHOR_LEFT);  // no such child: skipped now and at every resize
  w.SetClientSize(400, 200);
  EXPECT_EQ(w.ChildRect(1), CRect(10, 10, 390, 190));
  EXPECT_EQ(w.ChildRect(2), CRect(340, 170, 390, 190));
  EXPECT_EQ(w.ChildRect(3), CRect(190, 90, 210, 110));
  EXPECT_EQ(w.ChildRect(4), CRect(10, 10, 50, 30));
  w.SetClientSize(150, 80);
  EXPECT_EQ(w.ChildRect(1), CRect(10, 10, 140, 70));
  EXPECT_EQ(w.ChildRect(2), CRect(90, 50, 140, 70));
}

TEST(ResizeHelper, TrackingSizesThroughTheRealMessage) {
  nytest::Watchdog dog;
  Resizable r;
  ResizableWnd& w = r.wnd;
  w.SetMinimumSize(260, 180);
  w.SetMaximumSize(CSize(500, 400));
  MINMAXINFO info = {};
  info.ptMinTrackSize = {100, 300};
  info.ptMaxTrackSize = {2000, 350};
  w.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 260);
  EXPECT_EQ(info.ptMinTrackSize.y, 300);
  EXPECT_EQ(info.ptMaxTrackSize.x, 500);
  EXPECT_EQ(info.ptMaxTrackSize.y, 350);
  // The platform applies them when the window is sized.
  w.SetWindowPos(nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
  CRect window;
  w.GetWindowRect(&window);
  EXPECT_EQ(window.Size(), CSize(260, 180));
  w.SetWindowPos(nullptr, 0, 0, 900, 900, SWP_NOMOVE | SWP_NOZORDER);
  w.GetWindowRect(&window);
  EXPECT_EQ(window.Size(), CSize(500, 400));
  w.UnsetMaximumSize(1, 2);
  EXPECT_EQ(w.GetMaximumSize(), CSize(0x7fffffff, 0x7fffffff));
  EXPECT_EQ(w.GetMinimumSize(), CSize(260, 180));
}

TEST(WindowUtil, HideControlsClosesTheGapAndShrinksTheWindow) {
  nytest::Watchdog dog;
  Resizable r;
  ResizableWnd& w = r.wnd;
  w.AddChild(10, CRect(10, 10, 190, 20));  // stays
  w.AddChild(11, CRect(10, 30, 100, 50));  // the block: 11 and 12
  w.AddChild(12, CRect(110, 30, 190, 60));
  w.AddChild(13, CRect(10, 70, 60, 90));  // 10 pixels below the block
  CRect before;
  w.GetWindowRect(&before);
  EXPECT_TRUE(NyHideControlsAndResizeWindow(&w, 11, 13));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w.m_hWnd, 11)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w.m_hWnd, 12)));
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w.m_hWnd, 13)));
  EXPECT_EQ(w.ChildRect(10), CRect(10, 10, 190, 20));
  EXPECT_EQ(w.ChildRect(13), CRect(10, 30, 60, 50));
  CRect after;
  w.GetWindowRect(&after);
  EXPECT_EQ(after.Height(), before.Height() - 40);
  EXPECT_FALSE(NyHideControlsAndResizeWindow(&w, 77, 0));  // no such first control
  EXPECT_FALSE(NyHideControlsAndResizeWindow(nullptr, 11, 13));
}

TEST(WindowUtil, TextExtentComboWidthAndMonitors) {
  nytest::Watchdog dog;
  Resizable r;
  CClientDC dc(&r.wnd);
  const CSize one = NyGetTextExtent(&dc, "W");
  const CSize three = NyGetTextExtent(&dc, "W\n\nW");
  EXPECT_GT(one.cx, 0);
  EXPECT_EQ(three, CSize(one.cx, 3 * one.cy));
  EXPECT_EQ(NyGetTextExtent(&dc, "").cx, dc.GetTextExtent(" ", 1).cx);

  HWND combo = ::CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 60, 100, r.wnd.m_hWnd,
                                 reinterpret_cast<HMENU>(20), nullptr, nullptr);
  CComboBox box;
  ASSERT_TRUE(box.SubclassWindow(combo));
  EXPECT_EQ(NyAdjustComboBoxDroppedWidth(&box), CB_ERR);  // no font set yet
  box.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  box.AddString("short");
  box.AddString("a much longer entry of the list");
  EXPECT_GT(NyAdjustComboBoxDroppedWidth(&box), 150);
  EXPECT_EQ(NyAdjustComboBoxDroppedWidth(nullptr), CB_ERR);

  // Wine shows one monitor: every point, rectangle and window belongs to it.
  MONITORINFO inside = {}, distant = {}, ofWindow = {};
  ASSERT_TRUE(NyGetBelongingMonitorInfo(CPoint(5, 5), inside));
  EXPECT_EQ(inside.cbSize, sizeof(MONITORINFO));
  EXPECT_TRUE(inside.dwFlags & MONITORINFOF_PRIMARY);
  ASSERT_TRUE(NyGetBelongingMonitorInfo(CRect(-9000, -9000, -8000, -8000), distant));
  EXPECT_TRUE(::EqualRect(&distant.rcMonitor, &inside.rcMonitor));
  ASSERT_TRUE(NyGetBelongingMonitorInfo(&r.wnd, ofWindow));
  EXPECT_TRUE(::EqualRect(&ofWindow.rcWork, &inside.rcWork));
  MONITORINFO untouched = {};
  untouched.cbSize = 1;
  EXPECT_FALSE(NyGetBelongingMonitorInfo(static_cast<CWnd*>(nullptr), untouched));  // no application window
  EXPECT_EQ(untouched.cbSize, 1u);
}
