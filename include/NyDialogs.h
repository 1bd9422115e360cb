// Dialogs and window utilities: the resize helper that keeps child controls
// anchored to the edges of a resizable window, and the functions dialogs
// share for text extents, collapsing a run of controls, combo box drop-down
// widths and the monitor a point, a rectangle or a window belongs to.
#pragma once

#include <windows.h>

#include <map>

#include "NyApi.h"
#include "NyToolkit.h"

// The edges of the client area a control's edges follow. On an axis with
// neither bit, the control keeps its size and its centre keeps its relative
// position.
constexpr UINT ANCHOR_TOP = 0x1;
constexpr UINT ANCHOR_BOTTOM = 0x2;
constexpr UINT ANCHOR_LEFT = 0x4;
constexpr UINT ANCHOR_RIGHT = 0x8;

// A mix-in for a window class (a dialog, usually) that derives from the
// toolkit's window class too: anchor the controls while the window has its
// design size, then forward WM_SIZE and WM_GETMINMAXINFO:
//
//   class CMyDlg : public CDialogEx, public CNyWndResizeHelper { ... };
//   BOOL CMyDlg::OnInitDialog() {
//     CDialogEx::OnInitDialog();
//     SetAnchor(IDC_LIST, ANCHOR_TOP | ANCHOR_BOTTOM | ANCHOR_LEFT | ANCHOR_RIGHT);
//     SetAnchor(IDOK, ANCHOR_BOTTOM | ANCHOR_RIGHT);
//     SetMinimumSize(300, 200);
//     return TRUE;
//   }
//   void CMyDlg::OnSize(UINT nType, int cx, int cy) {
//     CDialogEx::OnSize(nType, cx, cy);
//     OnSizeHelper(cx, cy);
//   }
//   void CMyDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
//     CDialogEx::OnGetMinMaxInfo(lpMMI);
//     OnGetMinMaxInfoHelper(lpMMI);
//   }
//
// The helper finds its window by a cross-cast; in an object that is not a
// window, anchoring and resizing do nothing.
class NY_API CNyWndResizeHelper {
 public:
  CNyWndResizeHelper() = default;
  CNyWndResizeHelper(const CNyWndResizeHelper& other) = default;
  CNyWndResizeHelper& operator=(const CNyWndResizeHelper& other) = default;
  virtual ~CNyWndResizeHelper();

 protected:
  // Anchors child nID with its present rectangle and the window's present
  // client size as the reference; replaces an earlier anchor. A child that
  // does not exist is skipped. Anchor while the client area has a size: on
  // an axis whose reference size is 0 the centre rule cannot place the
  // control, and that axis keeps its coordinates.
  void SetAnchor(int nID, UINT nAnchor);
  void UnsetAnchor(int nID);
  void SetMinimumSize(int cx, int cy);
  void SetMinimumSize(const CSize& size);
  void SetMaximumSize(int cx, int cy);
  void SetMaximumSize(const CSize& size);
  // Back to (0, 0) and to no limit; the arguments are ignored.
  void UnsetMinimumSize(int cx, int cy);
  void UnsetMaximumSize(int cx, int cy);
  CSize GetMinimumSize() const;
  CSize GetMaximumSize() const;
  // After the window's own WM_SIZE: moves every anchored child (ascending
  // ids; children that are gone are skipped), then invalidates the window.
  void OnSizeHelper(int cx, int cy);
  // After the window's own WM_GETMINMAXINFO: the tracking sizes (outer window
  // sizes) kept within the minimum and maximum sizes.
  void OnGetMinMaxInfoHelper(MINMAXINFO* lpMMI);

 private:
  struct Anchor {
    UINT flags;
    RECT rect;    // the child's rectangle in client coordinates when anchored
    SIZE client;  // the client size then
    HWND child;   // the child found then; checked before each use
  };
  CWnd* Window();
  std::map<int, Anchor> m_anchors;
  CSize m_sizeMinimum{0, 0};
  CSize m_sizeMaximum{0x7fffffff, 0x7fffffff};
};

// The width of the widest line of `text` (split at line feeds) and the sum
// of the line heights, measured on pDC's attribute DC; empty lines measure
// as a space.
NY_API CSize NyGetTextExtent(CDC* pDC, const CString& text);
// Hides the children from nIDFirst up to (not including) nIDEnd in child
// order, moves what lay below up into the gap and makes the window that much
// shorter. False for a null window or when nothing was hidden.
NY_API bool NyHideControlsAndResizeWindow(CWnd* pWnd, int nIDFirst, int nIDEnd);
// Widens the combo box's drop-down list to its longest entry; the
// platform's answer to CB_SETDROPPEDWIDTH, or -1 (CB_ERR) without a combo
// box, device context or font.
NY_API int NyAdjustComboBoxDroppedWidth(CComboBox* pCombo);
// The monitor containing pt, else the nearest one (smallest sum of the
// horizontal and vertical distances; the first one on a tie).
NY_API bool NyGetBelongingMonitorInfo(const CPoint& pt, MONITORINFO& info);
// The monitor of the rectangle's centre.
NY_API bool NyGetBelongingMonitorInfo(const CRect& rc, MONITORINFO& info);
// The monitor of the window's normal (restored) rectangle; a null window
// means the application's main window (false when there is none).
NY_API bool NyGetBelongingMonitorInfo(CWnd* pWnd, MONITORINFO& info);
