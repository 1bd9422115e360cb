// Toolkit list control: MFC's CListCtrl over the common controls' list view.
// Item and column indexes are 0-based; -1 answers a failure, as the platform
// does.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "NyApi.h"
#include "toolkit/NyAfxString.h"
#include "toolkit/NyAfxTypes.h"
#include "toolkit/NyAfxWnd.h"

// An iteration position: opaque, pointer-sized, null at the end.
typedef struct __POSITION* POSITION;

class NY_API CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)

 public:
  CListCtrl() = default;

  // A list view (LVS_REPORT, LVS_SHOWSELALWAYS ... in dwStyle); registers
  // the common controls' list-view class first.
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // ---- Columns -------------------------------------------------------------------
  // Each answers the new column's index or -1.
  int InsertColumn(int nCol, const LVCOLUMN* pColumn);
  // nWidth -1: the platform's width; nSubItem -1: the column's own index.
  int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                   int nSubItem = -1);
  BOOL DeleteColumn(int nCol);
  int GetColumnWidth(int nCol) const;
  // cx may be LVSCW_AUTOSIZE or LVSCW_AUTOSIZE_USEHEADER.
  BOOL SetColumnWidth(int nCol, int cx);
  // The header control of a report view (a temporary object), or null.
  CWnd* GetHeaderCtrl() const;

  // ---- Items ------------------------------------------------------------------------
  // Each answers the new item's index (a sorted list places it itself) or -1.
  int InsertItem(const LVITEM* pItem);
  int InsertItem(int nItem, LPCTSTR lpszItem);
  int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                 LPARAM lParam);
  BOOL GetItem(LVITEM* pItem) const;
  BOOL SetItem(const LVITEM* pItem);
  BOOL DeleteItem(int nItem);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  // Prepares room for nItems items (or, for LVS_OWNERDATA, sets the count).
  void SetItemCount(int nItems);
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
  // Copies at most nLen - 1 characters and a terminator; answers the
  // characters copied.
  int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
  // The whole text of a cell, however long; empty for a cell that is not.
  CString GetItemText(int nItem, int nSubItem) const;
  BOOL SetItemData(int nItem, DWORD_PTR dwData);
  DWORD_PTR GetItemData(int nItem) const;

  // ---- States and selection ---------------------------------------------------------
  // nItem -1: every item.
  BOOL SetItemState(int nItem, LVITEM* pItem);
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  // The item's LVIS_* bits within nMask.
  UINT GetItemState(int nItem, UINT nMask) const;
  // The next item after nItem (-1: from the top) with the LVNI_* property
  // nFlags, or -1.
  int GetNextItem(int nItem, int nFlags) const;
  UINT GetSelectedCount() const;
  // Iterates the selected items in index order:
  //   for (POSITION p = list.GetFirstSelectedItemPosition(); p;)
  //     int i = list.GetNextSelectedItem(p);
  // A null position: no (more) selected items.
  POSITION GetFirstSelectedItemPosition() const;
  // Answers the item at pos and moves pos to the next selected item.
  int GetNextSelectedItem(POSITION& pos) const;

  // ---- Look ---------------------------------------------------------------------------
  // The LVS_EX_* style; the setter answers the previous one.
  DWORD SetExtendedStyle(DWORD dwNewStyle);
  DWORD GetExtendedStyle() const;
  COLORREF GetBkColor() const;
  BOOL SetBkColor(COLORREF cr);
  COLORREF GetTextColor() const;
  BOOL SetTextColor(COLORREF cr);
  COLORREF GetTextBkColor() const;
  BOOL SetTextBkColor(COLORREF cr);
  // Repaints items nFirst to nLast at the next paint.
  BOOL RedrawItems(int nFirst, int nLast);

  // ---- Geometry and scrolling ---------------------------------------------------------
  // The item's rectangle in client coordinates; nCode LVIR_BOUNDS,
  // LVIR_ICON, LVIR_LABEL or LVIR_SELECTBOUNDS.
  BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
  // A report-view cell's rectangle; nArea LVIR_BOUNDS, LVIR_ICON or
  // LVIR_LABEL.
  BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
  BOOL EnsureVisible(int nItem, BOOL bPartialOK);
  int GetTopIndex() const;
  int GetCountPerPage() const;
};
