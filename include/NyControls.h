// Owner-drawn controls: a shaped bitmap button with mouse-over pictures, a
// shaped button holding several pressable areas with auto-repeat, and an
// edit box with a drop-down slider. The host attaches each to a control of
// its dialog (DDX_Control or SubclassDlgItem); user-interface thread only.
#pragma once

#include <windows.h>

#include <list>
#include <utility>

#include "NyApi.h"
#include "NyToolkit.h"

// ---- Bitmap button ---------------------------------------------------------------------

// An owner-drawn push button (BS_OWNERDRAW) showing a bitmap per state
// (normal, pressed, focused, disabled), optionally another four while the
// mouse is over it, cut to the shape of a mask (white is outside), with its
// window text centred on top if asked:
//
//   m_ok.SubclassDlgItem(IDOK, this);
//   m_ok.LoadBitmaps(IDB_OK, IDB_OK_DOWN, IDB_OK_FOCUS, IDB_OK_OFF, IDB_OK_MASK);
//   m_ok.LoadMouseOverBitmaps(IDB_OK_HOT, IDB_OK_DOWN_HOT, IDB_OK_FOCUS_HOT, IDB_OK_OFF_HOT);
//   m_ok.SetTextColors(RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 128), RGB(128, 128, 128));
class NY_API CNyBitmapButton : public CBitmapButton {
  DECLARE_DYNAMIC(CNyBitmapButton)

 public:
  CNyBitmapButton();
  ~CNyBitmapButton() override;

  // The four state bitmaps and the mask, from the toolkit's resource
  // search; sizes the button to the normal bitmap and shapes its window.
  // FALSE at the first that fails (those loaded before stay; the button
  // draws nothing until it has a normal bitmap).
  BOOL LoadBitmaps(UINT nIDNormal, UINT nIDSelected, UINT nIDFocus, UINT nIDDisabled, UINT nIDMask);
  BOOL LoadMouseOverBitmaps(UINT nIDNormal, UINT nIDSelected, UINT nIDFocus, UINT nIDDisabled);
  void SetDrawText(bool bDraw);
  bool IsDrawText() const;
  // The text colour per state; switches the text on.
  void SetTextColors(COLORREF normal, COLORREF selected, COLORREF focus, COLORREF disabled);

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

 protected:
  // The region of the bitmap's pixels that are not `transparent`; null
  // without memory or a device context. The caller owns it.
  HRGN CreateRgnFromBmp(HBITMAP hBitmap, COLORREF transparent);
  bool InitImageList();
  // The platform's erase, kept inside the window's shape.
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  CBitmap m_bitmapMouseOver;
  CBitmap m_bitmapMouseOverSel;
  CBitmap m_bitmapMouseOverFocus;
  CBitmap m_bitmapMouseOverDisabled;
  CBitmap m_bitmapMask;
  bool m_bMouseOverLoaded = false;
  bool m_bMouseOver = false;
  CImageList m_imageList;
  bool m_bDrawText = false;
  bool m_bTextColorsSet = false;
  COLORREF m_textColors[4] = {0, 0, 0, 0};
  bool m_bImageListDirty = true;
};

// ---- Combo bitmap button ------------------------------------------------------------------

// One shaped owner-drawn button holding several pressable areas, each marked
// by a black-on-white bitmap of the button's size and calling its function
// when pressed; held down (mouse or space bar) it calls again after the
// keyboard's repeat delay and then at its repeat rate:
//
//   m_pad.SubclassDlgItem(IDC_PAD, this);
//   m_pad.LoadBitmaps(IDB_PAD, IDB_PAD_DOWN, IDB_PAD_SHAPE, 0);
//   m_pad.AddVirtualButton(&StepUp, IDB_PAD_UP, 0, 0, 0);
//   m_pad.AddVirtualButton(&StepDown, IDB_PAD_DOWN_AREA, 0, 0, 0);
//
// A shape's or an area's transparent colour is its bottom-left pixel.
class NY_API CNyComboBitmapButton : public CBitmapButton {
  DECLARE_DYNAMIC(CNyComboBitmapButton)

 public:
  struct VirtualButtonSet {
    void (*callback)();
    UINT idArea;
    UINT idSecond;
    UINT idPressedMask;
    UINT idPressedImage;
  };

  CNyComboBitmapButton();
  ~CNyComboBitmapButton() override;

  // The normal and pressed pictures, the shape (the window region) and the
  // AND mask of the whole button (0: the shape). FALSE when the shape
  // cannot be loaded, else the toolkit's result for the two pictures.
  BOOL LoadBitmaps(UINT idNormal, UINT idSelected, UINT idShape, UINT idMask);
  // Appends an area; idSecond and idPressedMask of 0 mean idArea, an
  // idPressedImage of 0 the button's pressed picture. Areas added first win
  // where they overlap.
  bool AddVirtualButton(void (*callback)(), UINT idArea, UINT idSecond = 0, UINT idPressedMask = 0,
                        UINT idPressedImage = 0);

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

 protected:
  HRGN CreateRgnFromBmp(HBITMAP hBitmap, COLORREF transparent);
  void OnLButtonOrSpaceKeyDown();
  void OnLButtonOrSpaceKeyUp();
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);

  DECLARE_MESSAGE_MAP()

 private:
  // What a press and a drawing need of one area, made once from its bitmaps
  // so that neither loads a resource: the hit-test region (empty when the
  // area bitmap cannot be loaded: such an area is never hit), the pressed
  // AND mask and, for a pressed image id other than 0, the pressed OR image.
  struct AreaCache {
    CRgn rgnArea;
    CBitmap bitmapMask;
    CBitmap bitmapImage;
  };
  using VirtualButtonIterator = std::list<VirtualButtonSet>::iterator;
  using AreaCacheIterator = std::list<AreaCache>::iterator;

  VirtualButtonIterator GetPushButtonIterator();
  // The area under the last mouse position and its cache, or both ends.
  std::pair<VirtualButtonIterator, AreaCacheIterator> HitTest();
  // Rebuilds every cache when the modules the resource search looks in have
  // changed since they were built.
  void RefreshAreaCaches();
  static void BuildAreaCache(const VirtualButtonSet& set, AreaCache& cache);

  CRgn m_rgnShape;
  CBitmap m_bitmapMask;
  std::list<VirtualButtonSet> m_listVirtualButton;
  CPoint m_ptLastMouse{0, 0};
  bool m_bFirstRepeat = true;
  // Element for element beside m_listVirtualButton.
  std::list<AreaCache> m_listAreaCache;
  // The resource and instance modules the caches were loaded through.
  HINSTANCE m_hCacheResource = nullptr;
  HINSTANCE m_hCacheInstance = nullptr;
};

// ---- Slider with edit box ---------------------------------------------------------------

// An edit box with a small drop button at its right end that pops up a
// slider under it; the text follows the thumb, and Enter or leaving the box
// moves the slider to the typed value, kept within the range. Attach it to
// an edit box (the box becomes 18 pixels narrower to make room):
//
//   DDX_Control(pDX, IDC_OPACITY, m_opacity);
//   m_opacity.SetRange(0, 255);
//
// Derived classes show and parse values their own way (DoUpdateText,
// DoUpdatePos) and hear about dragging through the On... hooks.
class NY_API CNySliderEdit : public CEdit {
  DECLARE_DYNAMIC(CNySliderEdit)

 public:
  CNySliderEdit();
  ~CNySliderEdit() override;

  void SetRange(int nMin, int nMax);
  void GetRange(int& nMin, int& nMax) const;
  // Moves the slider and writes the position into the box.
  void SetPos(int nPos);
  int GetPos() const;
  void SetTicFreq(int nFreq);
  // The slider's size (180 by 20 at first); the pop-up takes it at the next
  // drop-down.
  void SetSliderSize(CSize size);
  CSliderCtrl* GetSliderCtrl();

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  void PreSubclassWindow() override;

  virtual void OnStartTrack();
  virtual void OnTracking(UINT nSBCode, int nPos);
  virtual void OnEndTrack(int nPos);
  virtual void OnPosChanged(int nPos);
  virtual void DoUpdateText(int nPos, CString& strText);
  virtual void DoUpdatePos(CString strText, int& nPos);
  virtual void UpdateText(int nPos);
  virtual void UpdatePos(CString strText);

  void OnStartTrackImpl();
  void OnTrackingImpl(UINT nSBCode, int nPos);
  void OnEndTrackImpl();
  afx_msg void OnKillfocus();
  afx_msg void OnEnable(BOOL bEnable);

  DECLARE_MESSAGE_MAP()

 private:
  // The drop button: owner-drawn, pressed while the slider is out.
  class CButtonImpl : public CButton {
   public:
    explicit CButtonImpl(CNySliderEdit& owner) : m_owner(owner) {}
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    CNySliderEdit& m_owner;
    bool m_bPressed = false;

   protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
  };
  // The slider in the pop-up; its scroll notifications come back to it.
  class CSliderCtrlImpl : public CSliderCtrl {
   public:
    explicit CSliderCtrlImpl(CNySliderEdit& owner) : m_owner(owner) {}
    CNySliderEdit& m_owner;

   protected:
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void HScroll(UINT nSBCode, UINT nPos);
    DECLARE_MESSAGE_MAP()
  };

  // Enter and losing the focus: the text becomes the position.
  void CommitText();

  CButtonImpl* m_pButton;
  CSliderCtrlImpl* m_pSlider;
  CWnd m_wndPopup;
  CSize m_sizeSlider{180, 20};
  int m_nLastPos = 0;
};

// ---- Colour button and colour dialog ----------------------------------------------------

// An owner-drawn push button (BS_OWNERDRAW) filled with its colour, its
// caption centred in the inverse colour, and framed by hand: raised, or
// sunken while pressed. Disabled, it shows a cross-hatch in its colour.
//
//   m_colour.SubclassDlgItem(IDC_COLOUR, this);
//   m_colour.SetColor(RGB(255, 0, 0));
class NY_API CNyColorButton : public CButton {
 public:
  explicit CNyColorButton(COLORREF color = RGB(192, 192, 192));
  ~CNyColorButton() override;

  COLORREF GetColor() const;
  // Stores the colour; a button that has its window is redrawn (erased
  // first). Colours are taken as they are: the caption's colour is the
  // colour with its low 24 bits inverted.
  void SetColor(COLORREF color);

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  // A one-pixel frame just inside rc: white above and left, black below
  // and right; the other way round when bPushed.
  void DrawFrame(CDC* pDC, const CRect& rc, int bPushed);

  COLORREF m_color;
};

// The platform's colour dialog, opened with the custom-colour part shown by
// default, whose sixteen custom colours outlive the application: every
// object loads them from the user configuration (section "NyColorDialog",
// keys "SavedColor0" to "SavedColor15", falling back to the default layer)
// when it is made, and writes them back when it goes, whether or not it was
// run or confirmed. Values that are missing, not numbers or not colours
// (below 0 or above 0xFFFFFF) leave that custom colour as it was.
//
//   CNyColorDialog dialog(m_colour.GetColor());
//   if (dialog.DoModal() == IDOK) m_colour.SetColor(dialog.GetColor());
class NY_API CNyColorDialog : public CColorDialog {
 public:
  // The number of custom colours kept.
  static constexpr int SAVED_CUSTOM_COLOR = 16;

  explicit CNyColorDialog(COLORREF clrInit = 0, DWORD dwFlags = CC_FULLOPEN, CWnd* pParentWnd = nullptr);
  ~CNyColorDialog() override;
};

// ---- Striped list --------------------------------------------------------------------

// A report-view list (LVS_REPORT) that paints every other row in a stripe
// colour pair, text and background, through its custom-draw notification,
// and paints selected rows in the system highlight colours even while it
// does not have the focus. The stripes follow one process-wide pair (the
// default) or a pair of the list's own:
//
//   DDX_Control(pDX, IDC_FILES, m_files);  // CNyStripeListCtrl m_files;
//   m_files.SetStripeTextBkColor(RGB(240, 240, 255));
//
// Derived classes choose the striped cells (IsStripeSubItem) and may change
// a cell's colours just before it is drawn (OnSubItemDraw). The parent must
// be a toolkit window, which hands NM_CUSTOMDRAW back to the list. Leave
// LVS_SHOWSELALWAYS off: with it the list view paints an unfocused selection
// in its own grey (COLOR_3DFACE) over the colours chosen here.
class NY_API CNyStripeListCtrl : public CListCtrl {
  DECLARE_DYNAMIC(CNyStripeListCtrl)

 public:
  // Stripes in the shared colours; own colours start as the system's window
  // text and window colours.
  CNyStripeListCtrl();
  // Stripes in the list's own colours.
  CNyStripeListCtrl(COLORREF clrText, COLORREF clrTextBk);
  ~CNyStripeListCtrl() override;

  // The shared pair: black on RGB(195, 214, 224) at first. A list that uses
  // it shows a change at its next redraw; each setter answers the value set.
  static COLORREF GetSharedStripeTextColor();
  static COLORREF GetSharedStripeTextBkColor();
  static COLORREF SetSharedStripeTextColor(COLORREF clr);
  static COLORREF SetSharedStripeTextBkColor(COLORREF clr);

  // Switch this list to the shared colour; answer its current value.
  COLORREF UseSharedStripeTextColor();
  COLORREF UseSharedStripeTextBkColor();
  // The colours this list's stripes are drawn in now.
  COLORREF GetStripeTextColor() const;
  COLORREF GetStripeTextBkColor() const;
  // Store the list's own colour and switch to it; answer the value set.
  COLORREF SetStripeTextColor(COLORREF clr);
  COLORREF SetStripeTextBkColor(COLORREF clr);

 protected:
  // The row (the notification's dwItemSpec) and column of a notification.
  int GetCurrentRowIndex(NMLVCUSTOMDRAW* pLVCD);
  int GetCurrentColumnIndex(NMLVCUSTOMDRAW* pLVCD);

  // Whether the cell is drawn in the stripe colours: by default every
  // column of the odd rows (the second, fourth ... counting from 0).
  virtual bool IsStripeSubItem(NMLVCUSTOMDRAW* pLVCD);
  // Called just before a cell is drawn, its colours (clrText, clrTextBk)
  // already chosen, so that a derived class may change them. Does nothing.
  virtual void OnSubItemDraw(NMLVCUSTOMDRAW* pLVCD);

  afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

  static COLORREF clrSharedStripeText;
  static COLORREF clrSharedStripeTextBk;

 private:
  COLORREF m_clrStripeText;
  COLORREF m_clrStripeTextBk;
  // The colours in use: the own ones above or the shared ones. Pointers, not
  // references, because a list switches between the two.
  const COLORREF* m_pclrStripeText;
  const COLORREF* m_pclrStripeTextBk;
};
