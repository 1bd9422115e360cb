// Toolkit controls: MFC's thin wrappers over the platform's buttons, static
// and edit controls, combo and list boxes, scroll bars and trackbars, the
// bitmap button, and the colour dialog. Each wrapper only sends its control
// the platform's messages; what they add of their own is owner drawing
// routed back to the control (DrawItem, MeasureItem ...) and the bitmap
// button's choice of picture.
//
// Owner drawing: the platform sends WM_DRAWITEM, WM_MEASUREITEM,
// WM_COMPAREITEM and WM_DELETEITEM to the control's parent. A toolkit parent
// hands them back to a toolkit control (reflection), whose OnChildNotify
// calls the virtual member here, so that a derived control draws itself
// whatever its parent is. The parent must itself be a toolkit window (a
// CWnd, a CDialog) for that to happen.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "NyApi.h"
#include "toolkit/NyAfxDialog.h"
#include "toolkit/NyAfxGdi.h"
#include "toolkit/NyAfxString.h"
#include "toolkit/NyAfxWnd.h"

// ---- Buttons ------------------------------------------------------------------------

class NY_API CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  CButton() = default;

  // A "BUTTON" child window; dwStyle carries the BS_* kind.
  virtual BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
  int GetCheck() const;
  void SetCheck(int nCheck);
  // The BST_* state bits (checked, pushed, focus).
  UINT GetState() const;
  // Shows the button pushed (TRUE) or released, as while the mouse holds it.
  void SetState(BOOL bHighlight);
  // The button's style byte: its BS_* kind and the BS_LEFTTEXT-style bits
  // below 0x100, without the window styles.
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
  // The picture of a BS_BITMAP button; each answers the previous one. The
  // button does not own it.
  HBITMAP SetBitmap(HBITMAP hBitmap);
  HBITMAP GetBitmap() const;

  // Draws an owner-drawn (BS_OWNERDRAW) button; does nothing here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

 protected:
  // WM_DRAWITEM from the parent goes to DrawItem (answering TRUE); other
  // notifications to the button's reflection map.
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// An owner-drawn push button that shows one of up to four bitmaps for its
// state. Only m_bitmap is required: a state whose bitmap is missing shows
// the normal one.
class NY_API CBitmapButton : public CButton {
  DECLARE_DYNAMIC(CBitmapButton)

 public:
  CBitmapButton() = default;

  // Replaces the held bitmaps with those named (null or 0: none for that
  // state). False when the normal bitmap, or any other one named, cannot be
  // loaded; the ones that did load stay.
  BOOL LoadBitmaps(LPCTSTR lpszBitmapResource, LPCTSTR lpszBitmapResourceSel = nullptr,
                   LPCTSTR lpszBitmapResourceFocus = nullptr, LPCTSTR lpszBitmapResourceDisabled = nullptr);
  BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0, UINT nIDBitmapResourceFocus = 0,
                   UINT nIDBitmapResourceDisabled = 0);
  // Sizes the button to the normal bitmap; its position stays.
  void SizeToContent();
  // Attaches the owner-drawn button nID of pParent and loads the bitmaps
  // named after its caption: caption + "U" (up, required), "D" (down),
  // "F" (focused), "X" (disabled); then sizes the button to them.
  BOOL AutoLoad(UINT nID, CWnd* pParent);

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

  CBitmap m_bitmap;
  CBitmap m_bitmapSel;
  CBitmap m_bitmapFocus;
  CBitmap m_bitmapDisabled;
};

// ---- Static and edit controls -----------------------------------------------------------

class NY_API CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  CStatic() = default;

  virtual BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);

  // The picture of an SS_BITMAP / SS_ICON control; each setter answers the
  // previous one. The control does not own it.
  HBITMAP SetBitmap(HBITMAP hBitmap);
  HBITMAP GetBitmap() const;
  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;
};

class NY_API CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

 public:
  CEdit() = default;

  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // The selection as character positions: start in the low word, end in
  // the high word; the second form without the 16-bit limit.
  DWORD GetSel() const;
  void GetSel(int& nStartChar, int& nEndChar) const;
  // Selects from start to end (0, -1: everything; -1: nothing) and, unless
  // bNoScroll, scrolls the caret into view.
  void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
  // The most characters the user may enter; 0 lifts the limit to the
  // platform's largest.
  void LimitText(int nChars = 0);
  void SetLimitText(UINT nMax);
  UINT GetLimitText() const;
  int GetLineCount() const;
  BOOL CanUndo() const;
  BOOL Undo();
  void EmptyUndoBuffer();
  void Cut();
  void Copy();
  void Paste();
  void Clear();
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
};

// ---- Combo and list boxes ---------------------------------------------------------------
// Indexes are 0-based; CB_ERR / LB_ERR (-1) answer a failure, as the
// platform does.

class NY_API CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)

 public:
  CComboBox() = default;

  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  int GetCount() const;
  int GetCurSel() const;
  // -1 clears the selection (and the edit text).
  int SetCurSel(int nSelect);
  // Each answers the new item's index (a sorted box places it itself).
  int AddString(LPCTSTR lpszString);
  int InsertString(int nIndex, LPCTSTR lpszString);
  // Answers the number of items left.
  int DeleteString(UINT nIndex);
  void ResetContent();
  // Copies item nIndex's text into lpszText, which must hold
  // GetLBTextLen(nIndex) + 1 characters; answers the length or CB_ERR.
  int GetLBText(int nIndex, LPTSTR lpszText) const;
  // The whole text of item nIndex; empty for an index out of range.
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const;
  // The first item after nStartAfter (-1: from the top, wrapping around)
  // whose text begins with (FindString) or equals (FindStringExact)
  // lpszString, case-insensitively.
  int FindString(int nStartAfter, LPCTSTR lpszString) const;
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
  // Selects the item FindString finds; answers its index or CB_ERR.
  int SelectString(int nStartAfter, LPCTSTR lpszString);
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  DWORD_PTR GetItemData(int nIndex) const;
  // The height of the selection field (nIndex -1) or of the list's items.
  int SetItemHeight(int nIndex, UINT cyItemHeight);
  int GetItemHeight(int nIndex) const;
  // The drop-down list's least width in pixels.
  int GetDroppedWidth() const;
  int SetDroppedWidth(UINT nWidth);
  void ShowDropDown(BOOL bShowIt = TRUE);
  BOOL GetDroppedState() const;

  // Owner drawing (CBS_OWNERDRAWFIXED / CBS_OWNERDRAWVARIABLE), called
  // through reflection. DrawItem draws nothing and MeasureItem keeps the
  // platform's height here; CompareItem answers 0 (equal); DeleteItem does
  // nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);

 protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class NY_API CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)

 public:
  CListBox() = default;

  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  int GetCount() const;
  // Single-selection boxes: the selected item or LB_ERR; -1 clears it.
  int GetCurSel() const;
  int SetCurSel(int nSelect);
  int AddString(LPCTSTR lpszItem);
  int InsertString(int nIndex, LPCTSTR lpszItem);
  // Answers the number of items left.
  int DeleteString(UINT nIndex);
  void ResetContent();
  // As CComboBox::GetLBText.
  int GetText(int nIndex, LPTSTR lpszBuffer) const;
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const;
  int FindString(int nStartAfter, LPCTSTR lpszItem) const;
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
  int SelectString(int nStartAfter, LPCTSTR lpszItem);
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemHeight(int nIndex, UINT cyItemHeight);
  int GetItemHeight(int nIndex) const;
  int GetTopIndex() const;
  int SetTopIndex(int nIndex);
  // Multiple-selection boxes: whether item nIndex is selected (LB_ERR on a
  // bad index); selects or deselects it (nIndex -1: every item).
  int GetSel(int nIndex) const;
  int SetSel(int nIndex, BOOL bSelect = TRUE);
  int GetSelCount() const;

  // Owner drawing (LBS_OWNERDRAWFIXED / LBS_OWNERDRAWVARIABLE), as for
  // CComboBox.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);

 protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// ---- Scroll bars and trackbars ------------------------------------------------------------

class NY_API CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)

 public:
  CScrollBar() = default;

  // A "SCROLLBAR" control; SBS_HORZ or SBS_VERT in dwStyle.
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  int GetScrollPos() const;
  // Answers the previous position; the platform clamps into the range.
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE);
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
  void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const;
};

// The common controls' trackbar. The platform keeps the position inside the
// range: setting either bound or the position clamps it.
class NY_API CSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CSliderCtrl)

 public:
  CSliderCtrl() = default;

  // A trackbar (TBS_HORZ, TBS_VERT, TBS_AUTOTICKS ... in dwStyle); registers
  // the common controls' trackbar class first.
  virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  void GetRange(int& nMin, int& nMax) const;
  int GetRangeMin() const;
  int GetRangeMax() const;
  // The bounds are set one by one, so the whole 32-bit range is kept.
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
  void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
  void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
  int GetPos() const;
  // Moves the thumb (redrawn at once).
  void SetPos(int nPos);
  // Ticks every nFreq positions (TBS_AUTOTICKS controls).
  void SetTicFreq(int nFreq);
  // Each setter answers the previous size.
  int SetPageSize(int nSize);
  int GetPageSize() const;
  int SetLineSize(int nSize);
  int GetLineSize() const;
  // Client coordinates of the thumb and of the channel it slides in.
  void GetThumbRect(LPRECT lprc) const;
  void GetChannelRect(LPRECT lprc) const;
  // Adds a tick at position nTic; false outside the range.
  BOOL SetTic(int nTic);
  void ClearTics(BOOL bRedraw = FALSE);
  // The ticks shown, the two at the ends included.
  UINT GetNumTics() const;
};

// ---- Common dialogs -------------------------------------------------------------------------

// The base of the platform's common dialogs run through the toolkit. While
// one runs, the object is attached to its window; OK and Cancel are left to
// the platform's own dialog procedure, which fills in the result.
class NY_API CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)

 public:
  explicit CCommonDialog(CWnd* pParentWnd = nullptr);

 protected:
  void OnOK() override;
  void OnCancel() override;
  // The window a run is owned by: the parent's top-level window, else the
  // application's main window; null when there is neither.
  HWND OwnerForRun() const;
};

// The platform's colour chooser. Every colour dialog of the process shows
// and edits one shared array of sixteen custom colours.
class NY_API CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)

 public:
  // clrInit other than 0 becomes the initial colour (CC_RGBINIT); dwFlags
  // are CC_* flags (CC_FULLOPEN ...).
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

  // Runs the platform's dialog; IDOK when a colour was chosen (GetColor),
  // IDCANCEL when it was cancelled or could not run.
  INT_PTR DoModal() override;
  // The colour chosen by the last run, or the initial colour.
  COLORREF GetColor() const;
  // While the dialog runs (from its hook, say): makes clr the current
  // colour of the dialog. Before a run: makes clr the initial colour.
  void SetCurrentColor(COLORREF clr);
  // The process's sixteen custom colours (initially all white), which the
  // constructor points m_cc.lpCustColors at.
  static COLORREF* PASCAL GetSavedCustomColors();

  CHOOSECOLOR m_cc;
};
