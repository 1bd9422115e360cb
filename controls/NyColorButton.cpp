// CNyColorButton: a colour swatch with its caption in the inverse colour and
// a hand-drawn frame that shows the button raised or pressed.
#include "base/NyWindows.h"

#include "NyControls.h"
#include "base/NyScopedGdi.h"

namespace {

// The DC of one WM_DRAWITEM is lent by the platform for the call; a CDC
// deletes the DC it holds, so this one lets it go before it is destroyed.
class LentDC : public CDC {
 public:
  explicit LentDC(HDC hDC) { Attach(hDC); }
  ~LentDC() override { Detach(); }
  LentDC(const LentDC&) = delete;
  LentDC& operator=(const LentDC&) = delete;
};

// Puts back what drawing the item changes on the lent DC besides the
// selected objects, whose guards put those back.
class ScopedDCColours {
 public:
  explicit ScopedDCColours(CDC& dc)
      : m_dc(dc), m_text(dc.GetTextColor()), m_back(dc.GetBkColor()), m_mode(dc.GetBkMode()) {}
  ~ScopedDCColours() {
    m_dc.SetTextColor(m_text);
    m_dc.SetBkColor(m_back);
    m_dc.SetBkMode(m_mode);
  }
  ScopedDCColours(const ScopedDCColours&) = delete;
  ScopedDCColours& operator=(const ScopedDCColours&) = delete;

 private:
  CDC& m_dc;
  COLORREF m_text;
  COLORREF m_back;
  int m_mode;
};

}  // namespace

BEGIN_MESSAGE_MAP(CNyColorButton, CButton)
END_MESSAGE_MAP()

CNyColorButton::CNyColorButton(COLORREF color) : m_color(color) {}

CNyColorButton::~CNyColorButton() = default;

COLORREF CNyColorButton::GetColor() const { return m_color; }

void CNyColorButton::SetColor(COLORREF color) {
  m_color = color;
  if (GetSafeHwnd()) Invalidate(TRUE);
}

void CNyColorButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (!lpDrawItemStruct || !lpDrawItemStruct->hDC) return;
  if (!(lpDrawItemStruct->itemAction & (ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS))) return;

  CString text;
  GetWindowText(text);
  CRect rc;
  GetClientRect(&rc);

  // A brush that cannot be made (a colour the platform refuses) leaves the
  // DC's own brush in place: the button is still framed and captioned.
  CBrush brush;
  if (lpDrawItemStruct->itemState & ODS_DISABLED) {
    brush.CreateHatchBrush(HS_DIAGCROSS, m_color);
  } else {
    brush.CreateSolidBrush(m_color);
  }

  LentDC dc(lpDrawItemStruct->hDC);
  const ScopedDCColours colours(dc);
  const ny::ScopedSelectObject selectBrush(dc, brush);
  // Opaque before the rectangle: a hatch fills its gaps with the DC's
  // background colour as it stands, not with the button's colour.
  dc.SetBkMode(OPAQUE);
  dc.Rectangle(&rc);

  dc.SetTextColor(m_color ^ 0xFFFFFF);
  dc.SetBkColor(m_color);
  dc.DrawText(text, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  DrawFrame(&dc, rc, (lpDrawItemStruct->itemState & ODS_SELECTED) ? 1 : 0);
}

// A line leaves out its end point: the first pen draws the top edge (its
// top-right pixel included) and the left edge without the bottom-left
// pixel; the second pen draws the bottom and right edges from there.
void CNyColorButton::DrawFrame(CDC* pDC, const CRect& rc, int bPushed) {
  if (!pDC) return;
  CPen black(PS_SOLID, 1, RGB(0, 0, 0));
  CPen white(PS_SOLID, 1, RGB(255, 255, 255));
  if (!black.GetSafeHandle() || !white.GetSafeHandle()) return;
  const HPEN topLeft = bPushed ? black : white;
  const HPEN bottomRight = bPushed ? white : black;

  // The guard puts the DC's own pen back after both pens were used.
  const ny::ScopedSelectObject selectPen(pDC->GetSafeHdc(), topLeft);
  pDC->MoveTo(rc.right, rc.top);
  pDC->LineTo(rc.left, rc.top);
  pDC->LineTo(rc.left, rc.bottom - 1);
  pDC->SelectObject(static_cast<HGDIOBJ>(bottomRight));
  pDC->LineTo(rc.right - 1, rc.bottom - 1);
  pDC->LineTo(rc.right - 1, rc.top);
}
