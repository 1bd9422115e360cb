// CListCtrl: the list view's messages.
#include "base/NyWindows.h"
// The platform header first: its settings hold for every header below.
#include <commctrl.h>

#include <cstring>

#include "base/NyMultiByte.h"
#include "toolkit/NyAfxListCtrl.h"

namespace {

// Registers the list-view class; success is remembered, a failure is tried
// again at the next Create.
void EnsureListViewClass() {
  static volatile LONG registered = 0;
  if (registered) return;
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
  if (::InitCommonControlsEx(&icc)) ::InterlockedExchange(&registered, 1);
}

// The position of item nItem: its index plus one, so that null ends.
POSITION PositionOf(int nItem) {
  return nItem < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<INT_PTR>(nItem) + 1);
}

}  // namespace

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  EnsureListViewClass();
  return CWnd::Create(WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

// ---- Columns ---------------------------------------------------------------------

int CListCtrl::InsertColumn(int nCol, const LVCOLUMN* pColumn) {
  return static_cast<int>(
      SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(pColumn)));
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
  LVCOLUMN column = {};
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.fmt = nFormat;
  column.pszText = const_cast<LPTSTR>(lpszColumnHeading);
  if (nWidth != -1) {
    column.mask |= LVCF_WIDTH;
    column.cx = nWidth;
  }
  if (nSubItem != -1) {
    column.mask |= LVCF_SUBITEM;
    column.iSubItem = nSubItem;
  }
  return InsertColumn(nCol, &column);
}

BOOL CListCtrl::DeleteColumn(int nCol) {
  return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(nCol)));
}
int CListCtrl::GetColumnWidth(int nCol) const {
  return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nCol)));
}
BOOL CListCtrl::SetColumnWidth(int nCol, int cx) {
  return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nCol), MAKELPARAM(cx, 0)));
}
CWnd* CListCtrl::GetHeaderCtrl() const {
  return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)));
}

// ---- Items -------------------------------------------------------------------------

int CListCtrl::InsertItem(const LVITEM* pItem) {
  return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
}
int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}
int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}
int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam) {
  LVITEM item = {};
  item.mask = nMask;
  item.iItem = nItem;
  item.pszText = const_cast<LPTSTR>(lpszItem);
  item.state = nState;
  item.stateMask = nStateMask;
  item.iImage = nImage;
  item.lParam = lParam;
  return InsertItem(&item);
}
BOOL CListCtrl::GetItem(LVITEM* pItem) const {
  return static_cast<BOOL>(SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
}
BOOL CListCtrl::SetItem(const LVITEM* pItem) {
  return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
}
BOOL CListCtrl::DeleteItem(int nItem) {
  return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(nItem)));
}
BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
void CListCtrl::SetItemCount(int nItems) { SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(nItems)); }

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  LVITEM item = {};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPTSTR>(lpszText);
  return static_cast<BOOL>(
      SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
  if (!lpszText || nLen <= 0) return 0;
  lpszText[0] = '\0';
  LVITEM item = {};
  item.iSubItem = nSubItem;
  item.pszText = lpszText;
  item.cchTextMax = nLen;
  SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
  // Wine fills the whole buffer with a text that does not fit and leaves it
  // unterminated (Windows cuts it): cut it here, never inside a double-byte
  // character, and count what is left.
  lpszText[nLen - 1] = '\0';
  const char* last = ny::mb::LastChar(lpszText);
  if (last && last[1] == '\0' && ny::mb::IsLeadByte(static_cast<unsigned char>(*last)))
    lpszText[last - lpszText] = '\0';
  return static_cast<int>(std::strlen(lpszText));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  // The platform tells no length: a text that (nearly, when a double-byte
  // character was dropped at the end) fills the buffer may have been cut,
  // so the buffer doubles until the text leaves room.
  CString text;
  for (int size = 256; size <= 0x1000000; size *= 2) {
    const int copied = GetItemText(nItem, nSubItem, text.GetBuffer(size), size + 1);
    text.ReleaseBuffer(copied);
    if (copied < size - 1) break;
  }
  return text;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  LVITEM item = {};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  item.lParam = static_cast<LPARAM>(dwData);
  return SetItem(&item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  LVITEM item = {};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

// ---- States and selection -------------------------------------------------------------

BOOL CListCtrl::SetItemState(int nItem, LVITEM* pItem) {
  return static_cast<BOOL>(
      SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pItem)));
}
BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEM item = {};
  item.state = nState;
  item.stateMask = nMask;
  return SetItemState(nItem, &item);
}
UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
  return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), nMask));
}
int CListCtrl::GetNextItem(int nItem, int nFlags) const {
  return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
}
UINT CListCtrl::GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  return PositionOf(GetNextItem(-1, LVNI_SELECTED));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
  if (!pos) return -1;
  const int nItem = static_cast<int>(reinterpret_cast<INT_PTR>(pos) - 1);
  pos = PositionOf(GetNextItem(nItem, LVNI_SELECTED));
  return nItem;
}

// ---- Look ---------------------------------------------------------------------------------

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
  return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwNewStyle)));
}
DWORD CListCtrl::GetExtendedStyle() const {
  return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
}
COLORREF CListCtrl::GetBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETBKCOLOR)); }
BOOL CListCtrl::SetBkColor(COLORREF cr) {
  return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(cr)));
}
COLORREF CListCtrl::GetTextColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTCOLOR)); }
BOOL CListCtrl::SetTextColor(COLORREF cr) {
  return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(cr)));
}
COLORREF CListCtrl::GetTextBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTBKCOLOR)); }
BOOL CListCtrl::SetTextBkColor(COLORREF cr) {
  return static_cast<BOOL>(SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(cr)));
}
BOOL CListCtrl::RedrawItems(int nFirst, int nLast) {
  return static_cast<BOOL>(
      SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(nFirst), static_cast<LPARAM>(nLast)));
}

// ---- Geometry and scrolling ------------------------------------------------------------------

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
  // The platform reads the wanted part from the rectangle's left field.
  lpRect->left = static_cast<LONG>(nCode);
  return static_cast<BOOL>(
      SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const {
  // The sub-item travels in the top field and the part in the left field.
  RECT r = {nArea, iSubItem, 0, 0};
  const BOOL found = static_cast<BOOL>(
      SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(iItem), reinterpret_cast<LPARAM>(&r)));
  if (found) ref = r;
  return found;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
  return static_cast<BOOL>(
      SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), static_cast<LPARAM>(bPartialOK)));
}
int CListCtrl::GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
int CListCtrl::GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
