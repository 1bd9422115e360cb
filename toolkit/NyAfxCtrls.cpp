// The toolkit's control wrappers: messages to the platform's controls,
// owner drawing routed back to the control, the bitmap button's pictures and
// the colour dialog.
#include "base/NyWindows.h"
// The platform header first: its settings hold for every header below.
#include <commctrl.h>
#include <commdlg.h>

#include "base/NyScopedGdi.h"
#include "toolkit/NyAfxApp.h"
#include "toolkit/NyAfxCtrls.h"

namespace {

// Registers the common controls' classes that a Create needs. Success is
// remembered; a failure is tried again at the next Create.
void EnsureCommonControls(DWORD classes) {
  static volatile LONG registered = 0;
  if ((registered & static_cast<LONG>(classes)) == static_cast<LONG>(classes)) return;
  INITCOMMONCONTROLSEX icc = {sizeof(icc), classes};
  if (::InitCommonControlsEx(&icc)) ::InterlockedOr(&registered, static_cast<LONG>(classes));
}

// The whole text of an item of a list or combo box, asked by length first.
// The length may count more than the text (double-byte text converted
// between code pages): the text ends at its terminator.
CString ItemText(const CWnd& box, UINT lengthMessage, UINT textMessage, int nIndex) {
  CString text;
  const auto length = static_cast<int>(box.SendMessage(lengthMessage, static_cast<WPARAM>(nIndex), 0));
  if (length < 0) return text;  // CB_ERR / LB_ERR: no such item
  char* buffer = text.GetBuffer(length);
  buffer[0] = '\0';
  const auto copied = static_cast<int>(
      box.SendMessage(textMessage, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(buffer)));
  text.ReleaseBuffer(copied < 0 ? 0 : -1);
  return text;
}

}  // namespace

// ---- CButton --------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CButton, CWnd)

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
UINT CButton::GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
void CButton::SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(bHighlight)); }
UINT CButton::GetButtonStyle() const { return GetStyle() & 0xFF; }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) {
  SendMessage(BM_SETSTYLE, nStyle, static_cast<LPARAM>(bRedraw));
}
HBITMAP CButton::SetBitmap(HBITMAP hBitmap) {
  return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}
HBITMAP CButton::GetBitmap() const {
  return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP));
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  *pResult = TRUE;
  return TRUE;
}

// ---- CBitmapButton -----------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

BOOL CBitmapButton::LoadBitmaps(LPCTSTR lpszBitmapResource, LPCTSTR lpszBitmapResourceSel,
                                LPCTSTR lpszBitmapResourceFocus, LPCTSTR lpszBitmapResourceDisabled) {
  m_bitmap.DeleteObject();
  m_bitmapSel.DeleteObject();
  m_bitmapFocus.DeleteObject();
  m_bitmapDisabled.DeleteObject();
  // Every bitmap named is tried, so that one missing picture leaves the
  // others in place.
  auto load = [](CBitmap& bitmap, LPCTSTR name) { return !name || bitmap.LoadBitmap(name); };
  bool loaded = lpszBitmapResource && m_bitmap.LoadBitmap(lpszBitmapResource);
  loaded = load(m_bitmapSel, lpszBitmapResourceSel) && loaded;
  loaded = load(m_bitmapFocus, lpszBitmapResourceFocus) && loaded;
  loaded = load(m_bitmapDisabled, lpszBitmapResourceDisabled) && loaded;
  return loaded ? TRUE : FALSE;
}

BOOL CBitmapButton::LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel,
                                UINT nIDBitmapResourceFocus, UINT nIDBitmapResourceDisabled) {
  auto name = [](UINT id) { return id ? MAKEINTRESOURCEA(id) : nullptr; };
  return LoadBitmaps(name(nIDBitmapResource), name(nIDBitmapResourceSel), name(nIDBitmapResourceFocus),
                     name(nIDBitmapResourceDisabled));
}

void CBitmapButton::SizeToContent() {
  BITMAP bm = {};
  if (!m_hWnd || !m_bitmap.GetSafeHandle() || !m_bitmap.GetBitmap(&bm)) return;
  SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CBitmapButton::AutoLoad(UINT nID, CWnd* pParent) {
  if (!SubclassDlgItem(nID, pParent)) return FALSE;
  CString caption;
  GetWindowText(caption);
  if (caption.IsEmpty()) return FALSE;
  m_bitmapSel.DeleteObject();
  m_bitmapFocus.DeleteObject();
  m_bitmapDisabled.DeleteObject();
  m_bitmap.DeleteObject();
  if (!m_bitmap.LoadBitmap(caption + "U")) return FALSE;
  // The other states are optional: a missing one shows the normal bitmap.
  m_bitmapSel.LoadBitmap(caption + "D");
  m_bitmapFocus.LoadBitmap(caption + "F");
  m_bitmapDisabled.LoadBitmap(caption + "X");
  SizeToContent();
  return TRUE;
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (!lpDrawItemStruct || !m_bitmap.GetSafeHandle()) return;
  // The first state that holds and has a picture wins: a pressed button
  // that has no pressed picture but has the focus shows the focused one.
  const UINT state = lpDrawItemStruct->itemState;
  const CBitmap* picture = &m_bitmap;
  if ((state & ODS_SELECTED) && m_bitmapSel.GetSafeHandle()) {
    picture = &m_bitmapSel;
  } else if ((state & ODS_FOCUS) && m_bitmapFocus.GetSafeHandle()) {
    picture = &m_bitmapFocus;
  } else if ((state & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle()) {
    picture = &m_bitmapDisabled;
  }
  const HDC target = lpDrawItemStruct->hDC;
  ny::ScopedCreatedDC memory(::CreateCompatibleDC(target));
  if (!memory.IsValid()) return;
  ny::ScopedSelectObject select(memory.Get(), picture->GetSafeHandle());
  if (!select.IsSelected()) return;
  const RECT& r = lpDrawItemStruct->rcItem;
  ::BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.Get(), 0, 0, SRCCOPY);
}

// ---- CStatic ----------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CStatic, CWnd)

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) {
  return reinterpret_cast<HBITMAP>(
      SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}
HBITMAP CStatic::GetBitmap() const {
  return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
}
HICON CStatic::SetIcon(HICON hIcon) {
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
}
HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }

// ---- CEdit --------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CEdit, CWnd)

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CEdit::GetSel() const { return static_cast<DWORD>(SendMessage(EM_GETSEL)); }
void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
  DWORD start = 0, end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  nStartChar = static_cast<int>(start);
  nEndChar = static_cast<int>(end);
}
void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll) {
  // The words are signed: 0xFFFF in the low word is -1, "no selection".
  SetSel(static_cast<short>(LOWORD(dwSelection)), static_cast<short>(HIWORD(dwSelection)), bNoScroll);
}
void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), static_cast<LPARAM>(nEndChar));
  if (!bNoScroll) SendMessage(EM_SCROLLCARET);
}
void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo) {
  SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
}
void CEdit::LimitText(int nChars) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars)); }
void CEdit::SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
UINT CEdit::GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
int CEdit::GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
BOOL CEdit::CanUndo() const { return static_cast<BOOL>(SendMessage(EM_CANUNDO)); }
BOOL CEdit::Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
void CEdit::EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
void CEdit::Cut() { SendMessage(WM_CUT); }
void CEdit::Copy() { SendMessage(WM_COPY); }
void CEdit::Paste() { SendMessage(WM_PASTE); }
void CEdit::Clear() { SendMessage(WM_CLEAR); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) {
  return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(bReadOnly)));
}

// ---- Owner drawing of list and combo boxes ------------------------------------------------

namespace {

// Calls the box's owner-drawing member for the four owner messages; false
// for any other message.
template <typename Box>
bool OwnerItemNotify(Box& box, UINT message, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_DRAWITEM:
      box.DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      *pResult = TRUE;
      return true;
    case WM_MEASUREITEM:
      box.MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      *pResult = TRUE;
      return true;
    case WM_COMPAREITEM:
      *pResult = box.CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
      return true;
    case WM_DELETEITEM:
      box.DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      *pResult = TRUE;
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---- CComboBox ------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int CComboBox::SetCurSel(int nSelect) {
  return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}
int CComboBox::AddString(LPCTSTR lpszString) {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
}
int CComboBox::InsertString(int nIndex, LPCTSTR lpszString) {
  return static_cast<int>(
      SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszString)));
}
int CComboBox::DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(CB_DELETESTRING, nIndex)); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const {
  return static_cast<int>(
      SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}
void CComboBox::GetLBText(int nIndex, CString& rString) const {
  rString = ItemText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex);
}
int CComboBox::GetLBTextLen(int nIndex) const {
  return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
}
int CComboBox::FindString(int nStartAfter, LPCTSTR lpszString) const {
  return static_cast<int>(
      SendMessage(CB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszString)));
}
int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
  return static_cast<int>(
      SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), reinterpret_cast<LPARAM>(lpszFind)));
}
int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString) {
  return static_cast<int>(
      SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszString)));
}
int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
  return static_cast<int>(
      SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}
DWORD_PTR CComboBox::GetItemData(int nIndex) const {
  return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
}
int CComboBox::SetItemHeight(int nIndex, UINT cyItemHeight) {
  return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), cyItemHeight));
}
int CComboBox::GetItemHeight(int nIndex) const {
  return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
}
int CComboBox::GetDroppedWidth() const { return static_cast<int>(SendMessage(CB_GETDROPPEDWIDTH)); }
int CComboBox::SetDroppedWidth(UINT nWidth) {
  return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, nWidth));
}
void CComboBox::ShowDropDown(BOOL bShowIt) { SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(bShowIt)); }
BOOL CComboBox::GetDroppedState() const { return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE)); }

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (OwnerItemNotify(*this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CListBox ---------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CListBox, CWnd)

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListBox::GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
int CListBox::GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
int CListBox::SetCurSel(int nSelect) {
  return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}
int CListBox::AddString(LPCTSTR lpszItem) {
  return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
}
int CListBox::InsertString(int nIndex, LPCTSTR lpszItem) {
  return static_cast<int>(
      SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszItem)));
}
int CListBox::DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex)); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }
int CListBox::GetText(int nIndex, LPTSTR lpszBuffer) const {
  return static_cast<int>(
      SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
}
void CListBox::GetText(int nIndex, CString& rString) const {
  rString = ItemText(*this, LB_GETTEXTLEN, LB_GETTEXT, nIndex);
}
int CListBox::GetTextLen(int nIndex) const {
  return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
}
int CListBox::FindString(int nStartAfter, LPCTSTR lpszItem) const {
  return static_cast<int>(
      SendMessage(LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
}
int CListBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
  return static_cast<int>(
      SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), reinterpret_cast<LPARAM>(lpszFind)));
}
int CListBox::SelectString(int nStartAfter, LPCTSTR lpszItem) {
  return static_cast<int>(
      SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
}
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
  return static_cast<int>(
      SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}
DWORD_PTR CListBox::GetItemData(int nIndex) const {
  return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
}
int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight) {
  return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), cyItemHeight));
}
int CListBox::GetItemHeight(int nIndex) const {
  return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex)));
}
int CListBox::GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
int CListBox::SetTopIndex(int nIndex) {
  return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(nIndex)));
}
int CListBox::GetSel(int nIndex) const {
  return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(nIndex)));
}
int CListBox::SetSel(int nIndex, BOOL bSelect) {
  return static_cast<int>(SendMessage(LB_SETSEL, static_cast<WPARAM>(bSelect), static_cast<LPARAM>(nIndex)));
}
int CListBox::GetSelCount() const { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (OwnerItemNotify(*this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

// ---- CScrollBar ---------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CWnd::Create("SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CScrollBar::GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw) {
  ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
}
void CScrollBar::GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const {
  ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
}

// ---- CSliderCtrl ----------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  EnsureCommonControls(ICC_BAR_CLASSES);
  return CWnd::Create(TRACKBAR_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CSliderCtrl::GetRange(int& nMin, int& nMax) const {
  nMin = GetRangeMin();
  nMax = GetRangeMax();
}
int CSliderCtrl::GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
int CSliderCtrl::GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) {
  // TBM_SETRANGE packs both bounds into 16-bit words; one message per bound
  // keeps ranges beyond 32767.
  SetRangeMin(nMin, FALSE);
  SetRangeMax(nMax, bRedraw);
}
void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) {
  SendMessage(TBM_SETRANGEMIN, static_cast<WPARAM>(bRedraw), static_cast<LPARAM>(nMin));
}
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) {
  SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(bRedraw), static_cast<LPARAM>(nMax));
}
int CSliderCtrl::GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
void CSliderCtrl::SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, static_cast<LPARAM>(nPos)); }
void CSliderCtrl::SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(nFreq)); }
int CSliderCtrl::SetPageSize(int nSize) {
  return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, static_cast<LPARAM>(nSize)));
}
int CSliderCtrl::GetPageSize() const { return static_cast<int>(SendMessage(TBM_GETPAGESIZE)); }
int CSliderCtrl::SetLineSize(int nSize) {
  return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, static_cast<LPARAM>(nSize)));
}
int CSliderCtrl::GetLineSize() const { return static_cast<int>(SendMessage(TBM_GETLINESIZE)); }
void CSliderCtrl::GetThumbRect(LPRECT lprc) const {
  SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(lprc));
}
void CSliderCtrl::GetChannelRect(LPRECT lprc) const {
  SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(lprc));
}
BOOL CSliderCtrl::SetTic(int nTic) {
  return static_cast<BOOL>(SendMessage(TBM_SETTIC, 0, static_cast<LPARAM>(nTic)));
}
void CSliderCtrl::ClearTics(BOOL bRedraw) { SendMessage(TBM_CLEARTICS, static_cast<WPARAM>(bRedraw)); }
UINT CSliderCtrl::GetNumTics() const { return static_cast<UINT>(SendMessage(TBM_GETNUMTICS)); }

// ---- CCommonDialog ---------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

CCommonDialog::CCommonDialog(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }

// The platform's dialog procedure handles OK and Cancel itself (it reads
// the controls into its structure and ends its own modal loop), so the
// command goes on to it instead of ending a toolkit modal run.
void CCommonDialog::OnOK() { Default(); }
void CCommonDialog::OnCancel() { Default(); }

HWND CCommonDialog::OwnerForRun() const {
  HWND owner = m_pParentWnd->GetSafeHwnd();
  if (!owner) owner = AfxGetMainWnd()->GetSafeHwnd();
  return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

// ---- CColorDialog ------------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
  m_cc = CHOOSECOLOR{};
  m_cc.lStructSize = sizeof(m_cc);
  m_cc.lpCustColors = GetSavedCustomColors();
  m_cc.Flags = dwFlags;
  m_cc.rgbResult = clrInit;
  // Black, the default, counts as "no initial colour".
  if (clrInit != 0) m_cc.Flags |= CC_RGBINIT;
}

COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF colours[16] = {
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
  };
  return colours;
}

INT_PTR CColorDialog::DoModal() {
  // A run started from inside a run of the same object (its hook) would
  // attach the object twice.
  if (m_hWnd) return IDCANCEL;
  const HWND hostOwner = m_cc.hwndOwner;
  if (!hostOwner) m_cc.hwndOwner = OwnerForRun();
  // The object is attached to the platform's dialog window for the run
  // (the creation hook catches the first window the call makes), so that
  // m_hWnd and FromHandlePermanent work from the dialog's hook.
  const BOOL hooked = AfxHookWindowCreate(this);
  const BOOL chosen = ::ChooseColorA(&m_cc);
  if (hooked) AfxUnhookWindowCreate();
  m_cc.hwndOwner = hostOwner;
  return chosen ? IDOK : IDCANCEL;
}

COLORREF CColorDialog::GetColor() const { return m_cc.rgbResult; }

void CColorDialog::SetCurrentColor(COLORREF clr) {
  if (m_hWnd) {
    static const UINT setRgb = ::RegisterWindowMessageA(SETRGBSTRINGA);
    SendMessage(setRgb, 0, static_cast<LPARAM>(clr));
    return;
  }
  m_cc.rgbResult = clr;
  m_cc.Flags |= CC_RGBINIT;
}
