// CNyStripeListCtrl: stripes and a focus-independent selection, painted by
// answering the list view's custom-draw stages. The list view draws every
// cell itself; this class only picks the colours it draws them in, so it
// owns no GDI object and its cost is a few sent messages per visible cell.
#include "base/NyWindows.h"

#include <commctrl.h>

#include "NyControls.h"

namespace {

// The system highlight pair: the colours of a selected row, with or without
// the focus.
void UseHighlight(NMLVCUSTOMDRAW& cell) {
  cell.clrText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  cell.clrTextBk = ::GetSysColor(COLOR_HIGHLIGHT);
}

}  // namespace

COLORREF CNyStripeListCtrl::clrSharedStripeText = RGB(0, 0, 0);
COLORREF CNyStripeListCtrl::clrSharedStripeTextBk = RGB(195, 214, 224);

IMPLEMENT_DYNAMIC(CNyStripeListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CNyStripeListCtrl, CListCtrl)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

CNyStripeListCtrl::CNyStripeListCtrl()
    : m_clrStripeText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_clrStripeTextBk(::GetSysColor(COLOR_WINDOW)),
      m_pclrStripeText(&clrSharedStripeText),
      m_pclrStripeTextBk(&clrSharedStripeTextBk) {}

CNyStripeListCtrl::CNyStripeListCtrl(COLORREF clrText, COLORREF clrTextBk)
    : m_clrStripeText(clrText),
      m_clrStripeTextBk(clrTextBk),
      m_pclrStripeText(&m_clrStripeText),
      m_pclrStripeTextBk(&m_clrStripeTextBk) {}

CNyStripeListCtrl::~CNyStripeListCtrl() = default;

// ---- Colours ---------------------------------------------------------------------------
// The shared pair is read at each cell's drawing, never copied, which is how
// a change reaches every list that uses it at its next redraw.

COLORREF CNyStripeListCtrl::GetSharedStripeTextColor() { return clrSharedStripeText; }
COLORREF CNyStripeListCtrl::GetSharedStripeTextBkColor() { return clrSharedStripeTextBk; }
COLORREF CNyStripeListCtrl::SetSharedStripeTextColor(COLORREF clr) { return clrSharedStripeText = clr; }
COLORREF CNyStripeListCtrl::SetSharedStripeTextBkColor(COLORREF clr) { return clrSharedStripeTextBk = clr; }

COLORREF CNyStripeListCtrl::UseSharedStripeTextColor() {
  m_pclrStripeText = &clrSharedStripeText;
  return *m_pclrStripeText;
}
COLORREF CNyStripeListCtrl::UseSharedStripeTextBkColor() {
  m_pclrStripeTextBk = &clrSharedStripeTextBk;
  return *m_pclrStripeTextBk;
}

COLORREF CNyStripeListCtrl::GetStripeTextColor() const { return *m_pclrStripeText; }
COLORREF CNyStripeListCtrl::GetStripeTextBkColor() const { return *m_pclrStripeTextBk; }

COLORREF CNyStripeListCtrl::SetStripeTextColor(COLORREF clr) {
  m_pclrStripeText = &m_clrStripeText;
  return m_clrStripeText = clr;
}
COLORREF CNyStripeListCtrl::SetStripeTextBkColor(COLORREF clr) {
  m_pclrStripeTextBk = &m_clrStripeTextBk;
  return m_clrStripeTextBk = clr;
}

// ---- Painting --------------------------------------------------------------------------

// dwItemSpec is a DWORD_PTR; a list view's item indexes fit an int.
int CNyStripeListCtrl::GetCurrentRowIndex(NMLVCUSTOMDRAW* pLVCD) {
  return static_cast<int>(pLVCD->nmcd.dwItemSpec);
}
int CNyStripeListCtrl::GetCurrentColumnIndex(NMLVCUSTOMDRAW* pLVCD) { return pLVCD->iSubItem; }

bool CNyStripeListCtrl::IsStripeSubItem(NMLVCUSTOMDRAW* pLVCD) { return GetCurrentRowIndex(pLVCD) % 2 != 0; }

void CNyStripeListCtrl::OnSubItemDraw(NMLVCUSTOMDRAW*) {}

// The list view asks once for the whole paint (CDDS_PREPAINT), once per
// visible row (CDDS_ITEMPREPAINT) and, when that answer asks for it, once
// per cell of the row (CDDS_ITEMPREPAINT | CDDS_SUBITEM); CDRF_NEWFONT
// makes it draw the cell in the clrText / clrTextBk left in the notification.
// Only rows it paints are asked about, so a long list costs what its
// visible rows cost.
void CNyStripeListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
  auto* pLVCD = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
  *pResult = CDRF_DODEFAULT;
  const int nRow = GetCurrentRowIndex(pLVCD);
  const int nColumn = GetCurrentColumnIndex(pLVCD);

  switch (pLVCD->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      *pResult = CDRF_NOTIFYITEMDRAW;
      break;

    case CDDS_ITEMPREPAINT:
      // A whole selected row in one colour pair: its cells need no asking.
      if ((GetExtendedStyle() & LVS_EX_FULLROWSELECT) && GetItemState(nRow, LVIS_SELECTED)) {
        UseHighlight(*pLVCD);
        *pResult = CDRF_NEWFONT;
      } else {
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
      }
      break;

    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      // Without full-row selection only the first cell shows the selection.
      if (nColumn == 0 && GetItemState(nRow, LVIS_SELECTED)) {
        UseHighlight(*pLVCD);
      } else {
        // The list's own colours are set explicitly, every time: the list
        // view carries the previous cell's colours over, so a selected first
        // cell's highlight would otherwise run on along its row.
        pLVCD->clrText = GetTextColor();
        pLVCD->clrTextBk = GetTextBkColor();
        if (IsStripeSubItem(pLVCD)) {
          pLVCD->clrText = GetStripeTextColor();
          pLVCD->clrTextBk = GetStripeTextBkColor();
        }
        OnSubItemDraw(pLVCD);
      }
      *pResult = CDRF_NEWFONT;
      break;

    default:
      break;
  }
}
