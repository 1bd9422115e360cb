// CNyBitmapButton: a picture per state from one image list, cut to the shape
// of a mask, with hover pictures and optional centred text.
#include "base/NyWindows.h"

#include <commctrl.h>

#include <cstdint>

#include "NyControls.h"
#include "controls/NyBitmapRegion.h"

namespace {

// Image list layout: the four states, then their four hover pictures.
enum Image : int { kNormal = 0, kSelected = 1, kFocus = 2, kDisabled = 3, kHoverOffset = 4 };

// A COLORREF is 0x00BBGGRR; the rows the region builder reads are
// 0x00RRGGBB. White, the only colour the button itself asks for, is the same
// both ways.
std::uint32_t PixelValueOf(COLORREF colour) {
  return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

// The bitmap if it holds one, else the fall-back.
CBitmap* OrElse(CBitmap& bitmap, CBitmap* fallback) { return bitmap.GetSafeHandle() ? &bitmap : fallback; }

// A failed load has deleted pictures the window may still show: it is
// repainted from what is left.
BOOL FailedLoad(CWnd& button) {
  if (button.m_hWnd) button.Invalidate();
  return FALSE;
}

}  // namespace

IMPLEMENT_DYNAMIC(CNyBitmapButton, CBitmapButton)

BEGIN_MESSAGE_MAP(CNyBitmapButton, CBitmapButton)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

CNyBitmapButton::CNyBitmapButton() = default;

// The bitmaps and the image list release themselves; the window region
// belongs to the window.
CNyBitmapButton::~CNyBitmapButton() = default;

BOOL CNyBitmapButton::LoadBitmaps(UINT nIDNormal, UINT nIDSelected, UINT nIDFocus, UINT nIDDisabled,
                                  UINT nIDMask) {
  m_bitmapMask.DeleteObject();
  // The list holds copies of the old pictures: it is rebuilt from whatever
  // is held after this call, failed or not, so that the screen never shows
  // pictures the button no longer has. The base deletes the state bitmaps.
  m_bImageListDirty = true;
  if (!CBitmapButton::LoadBitmaps(nIDNormal, nIDSelected, nIDFocus, nIDDisabled)) return FailedLoad(*this);
  SizeToContent();
  if (!m_bitmapMask.LoadBitmap(nIDMask)) return FailedLoad(*this);
  if (m_hWnd) {
    // The window owns the region once SetWindowRgn succeeds; a null region
    // (the mask could not be read) takes an earlier shape away.
    CRgn region;
    region.Attach(CreateRgnFromBmp(m_bitmapMask, RGB(255, 255, 255)));
    if (SetWindowRgn(static_cast<HRGN>(region.GetSafeHandle()), TRUE)) region.Detach();
  }
  return TRUE;
}

BOOL CNyBitmapButton::LoadMouseOverBitmaps(UINT nIDNormal, UINT nIDSelected, UINT nIDFocus,
                                           UINT nIDDisabled) {
  m_bitmapMouseOver.DeleteObject();
  m_bitmapMouseOverSel.DeleteObject();
  m_bitmapMouseOverFocus.DeleteObject();
  m_bitmapMouseOverDisabled.DeleteObject();
  m_bImageListDirty = true;  // as in LoadBitmaps: even a failed load changed what is held
  if (!m_bitmapMouseOver.LoadBitmap(nIDNormal) || !m_bitmapMouseOverSel.LoadBitmap(nIDSelected) ||
      !m_bitmapMouseOverFocus.LoadBitmap(nIDFocus) || !m_bitmapMouseOverDisabled.LoadBitmap(nIDDisabled)) {
    return FailedLoad(*this);
  }
  m_bMouseOverLoaded = true;
  return TRUE;
}

void CNyBitmapButton::SetDrawText(bool bDraw) { m_bDrawText = bDraw; }

bool CNyBitmapButton::IsDrawText() const { return m_bDrawText; }

void CNyBitmapButton::SetTextColors(COLORREF normal, COLORREF selected, COLORREF focus, COLORREF disabled) {
  m_textColors[kNormal] = normal;
  m_textColors[kSelected] = selected;
  m_textColors[kFocus] = focus;
  m_textColors[kDisabled] = disabled;
  m_bTextColorsSet = true;
  m_bDrawText = true;
}

HRGN CNyBitmapButton::CreateRgnFromBmp(HBITMAP hBitmap, COLORREF transparent) {
  return ny::controls::RegionFromBitmap(hBitmap, PixelValueOf(transparent), /*bottomUp=*/false);
}

// Every slot of the list is filled with exactly one image, so that an
// image's index always means its state: a missing state picture is replaced
// by the normal one (as the toolkit's bitmap button shows it), and a missing
// hover picture (a failed LoadMouseOverBitmaps after a good one) by the
// picture of the same state without the mouse. Without a mask (its load
// failed) the pictures are drawn whole: a mask-less list ignores
// ILD_TRANSPARENT, whereas a null mask in a masked list leaves that image's
// mask bits unspecified.
bool CNyBitmapButton::InitImageList() {
  BITMAP size = {};
  if (!m_bitmap.GetSafeHandle() || !m_bitmap.GetBitmap(&size) || size.bmWidth <= 0 || size.bmHeight <= 0) {
    return false;
  }
  m_imageList.DeleteImageList();
  CBitmap* mask = m_bitmapMask.GetSafeHandle() ? &m_bitmapMask : nullptr;
  const UINT flags = ILC_COLOR24 | (mask ? ILC_MASK : 0);
  if (!m_imageList.Create(size.bmWidth, size.bmHeight, flags, 0, m_bMouseOverLoaded ? 8 : 4)) return false;

  CBitmap* const states[] = {&m_bitmap, OrElse(m_bitmapSel, &m_bitmap), OrElse(m_bitmapFocus, &m_bitmap),
                             OrElse(m_bitmapDisabled, &m_bitmap)};
  CBitmap* const hovers[] = {
      OrElse(m_bitmapMouseOver, states[kNormal]), OrElse(m_bitmapMouseOverSel, states[kSelected]),
      OrElse(m_bitmapMouseOverFocus, states[kFocus]), OrElse(m_bitmapMouseOverDisabled, states[kDisabled])};
  const int count = m_bMouseOverLoaded ? 8 : 4;
  for (int i = 0; i < count; ++i) {
    CBitmap* picture = i < kHoverOffset ? states[i] : hovers[i - kHoverOffset];
    // The list cuts a picture into images of the normal picture's width: a
    // narrower one adds none, a wider one several. The normal picture
    // stands in for a narrower one; of a wider one the first image stays.
    m_imageList.Add(picture, mask);
    if (m_imageList.GetImageCount() == i) m_imageList.Add(&m_bitmap, mask);
    if (m_imageList.GetImageCount() > i + 1) ::ImageList_SetImageCount(m_imageList, static_cast<UINT>(i + 1));
    if (m_imageList.GetImageCount() != i + 1) {
      m_imageList.DeleteImageList();
      return false;
    }
  }
  m_bImageListDirty = false;
  return true;
}

void CNyBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (!lpDrawItemStruct || !m_bitmap.GetSafeHandle()) return;
  if (m_bImageListDirty && !InitImageList()) return;
  if (!(lpDrawItemStruct->itemAction & (ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS))) return;

  // First match wins: a pressed button has the focus too and shows pressed.
  const UINT state = lpDrawItemStruct->itemState;
  const int stateImage = (state & ODS_SELECTED)   ? kSelected
                         : (state & ODS_FOCUS)    ? kFocus
                         : (state & ODS_DISABLED) ? kDisabled
                                                  : kNormal;
  const int image = stateImage + (m_bMouseOverLoaded && m_bMouseOver ? kHoverOffset : 0);
  const HDC dc = lpDrawItemStruct->hDC;
  const ny::controls::ShapeClip clip(m_hWnd, dc);
  ::ImageList_Draw(m_imageList.GetSafeHandle(), image, dc, 0, 0, ILD_TRANSPARENT);

  if (!m_bDrawText || !m_hWnd) return;
  CString text;
  GetWindowText(text);
  if (text.IsEmpty()) return;
  CRect client;
  GetClientRect(&client);
  const COLORREF colour = m_bTextColorsSet ? m_textColors[stateImage] : ::GetTextColor(dc);
  const COLORREF oldColour = ::SetTextColor(dc, colour);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, text, text.GetLength(), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SetBkMode(dc, oldMode);
  ::SetTextColor(dc, oldColour);
}

BOOL CNyBitmapButton::OnEraseBkgnd(CDC* pDC) {
  const ny::controls::ShapeClip clip(m_hWnd, pDC ? pDC->GetSafeHdc() : nullptr);
  return static_cast<BOOL>(Default());
}

void CNyBitmapButton::OnMouseMove(UINT nFlags, CPoint point) {
  if (!m_bMouseOver) {
    m_bMouseOver = true;
    // One WM_MOUSELEAVE when the mouse leaves; the platform forgets the
    // request after sending it, so it is made again at every entry.
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
    Invalidate(TRUE);
  }
  CBitmapButton::OnMouseMove(nFlags, point);
}

LRESULT CNyBitmapButton::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
  m_bMouseOver = false;
  Invalidate(TRUE);
  return DefWindowProc(WM_MOUSELEAVE, wParam, lParam);
}
