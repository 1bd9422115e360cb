// The striped list on real list views under a display, checked by pixels:
// stripes on the odd rows, the selection in the highlight colours without the
// focus, the shared colours followed at the next redraw, a derived class's
// hooks; the answers to each custom-draw stage, odd indexes included; and
// painting that asks only about visible rows and leaves no GDI object behind.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <set>
#include <string>

#include "DoRor.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"

namespace {

constexpr int kColumns = 3, kColumnWidth = 100, kListId = 500;

struct Pair {
  COLORREF text, bk;
};
// Every colour differs from the others and from the system's highlight pair.
constexpr Pair kListColours = {RGB(0, 0, 96), RGB(255, 255, 255)};
constexpr Pair kOwnStripes = {RGB(180, 0, 0), RGB(200, 230, 200)};
constexpr Pair kDefaultShared = {RGB(0, 0, 0), RGB(195, 214, 224)};

Pair Highlight() { return {::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT)}; }

// The hooks as a test sees them: which rows the list view asked about, and
// optional replacements for the stripe choice and the last-moment change.
class ProbeList : public CNyStripeListCtrl {
 public:
  using CNyStripeListCtrl::CNyStripeListCtrl;

  std::set<int> rowsAsked;
  std::function<bool(int row, int column)> stripe;
  std::function<void(NMLVCUSTOMDRAW&)> adjust;

 protected:
  bool IsStripeSubItem(NMLVCUSTOMDRAW* cd) override {
    rowsAsked.insert(GetCurrentRowIndex(cd));
    return stripe ? stripe(GetCurrentRowIndex(cd), GetCurrentColumnIndex(cd))
                  : CNyStripeListCtrl::IsStripeSubItem(cd);
  }
  void OnSubItemDraw(NMLVCUSTOMDRAW* cd) override {
    if (adjust) adjust(*cd);
  }
};

// Whether a cell shows `pair`: its right half, past the short text, is all
// background, and some pixels of the cell are in the text colour.
testing::AssertionResult CellShows(const nytest::Image& image, const CRect& cell, Pair pair) {
  const CRect ground(cell.left + cell.Width() / 2, cell.top + 1, cell.right - 2, cell.bottom - 1);
  const int inked = nytest::CountColour(image, cell, pair.text);
  if (nytest::IsSolid(image, ground, pair.bk) && inked > 0) return testing::AssertionSuccess();
  char found[96];
  wsprintfA(found, "background %06lX (at its middle), %d pixels of text colour",
            image.At(ground.left, ground.top), inked);
  return testing::AssertionFailure() << found;
}

// Whether every pixel of `r` is in one of the pair's colours, and both show.
testing::AssertionResult AllIn(const nytest::Image& image, const CRect& r, Pair pair) {
  const int inked = nytest::CountColour(image, r, pair.text), ground = nytest::CountColour(image, r, pair.bk);
  if (inked > 0 && ground > 0 && inked + ground == r.Width() * r.Height()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << inked << " text and " << ground << " background pixels of "
                                     << r.Width() * r.Height();
}

class StripeList : public testing::Test {
 protected:
  void SetUp() override {
    savedText = CNyStripeListCtrl::GetSharedStripeTextColor();
    savedBk = CNyStripeListCtrl::GetSharedStripeTextBkColor();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "striped list", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                                1000, 480, nullptr, nullptr));
  }
  // The shared pair is process-wide: every test leaves it as it found it.
  void TearDown() override {
    CNyStripeListCtrl::SetSharedStripeTextColor(savedText);
    CNyStripeListCtrl::SetSharedStripeTextBkColor(savedBk);
  }

  // A report list of three 100-pixel columns and `rows` rows "r<row>c<col>",
  // at `left` in the parent, in the list colours above.
  void Open(CNyStripeListCtrl& list, int rows, int left = 0, DWORD style = 0) {
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | style, CRect(left, 0, left + 320, 240),
                            &parent, kListId + left));
    list.SetTextColor(kListColours.text);
    list.SetTextBkColor(kListColours.bk);
    list.SetBkColor(kListColours.bk);
    for (int c = 0; c < kColumns; ++c) list.InsertColumn(c, "col", LVCFMT_LEFT, kColumnWidth);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < kColumns; ++c) {
        const std::string text = "r" + std::to_string(r) + "c" + std::to_string(c);
        if (c == 0) {
          list.InsertItem(r, text.c_str());
        } else {
          list.SetItemText(r, c, text.c_str());
        }
      }
    }
  }

  // Repaints the list now and answers its client area.
  static nytest::Image Redraw(CListCtrl& list) {
    list.Invalidate();
    return nytest::CaptureClient(list.m_hWnd);
  }

  // A cell's rectangle in the list's client area (columns are not scrolled).
  static CRect Cell(const CListCtrl& list, int row, int column) {
    CRect r;
    list.GetItemRect(row, &r, LVIR_BOUNDS);
    return CRect(column * kColumnWidth, r.top, (column + 1) * kColumnWidth, r.bottom);
  }

  nytest::Watchdog dog{60};
  CWnd parent;
  COLORREF savedText = 0, savedBk = 0;
};

}  // namespace

TEST_F(StripeList, OddRowsInTheStripeColoursEvenRowsInTheListsOwn) {
  ProbeList list(kOwnStripes.text, kOwnStripes.bk);
  Open(list, 6);
  const nytest::Image image = Redraw(list);
  nytest::SaveIfRequested(image, "stripe_list");
  for (int row = 0; row < 6; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      EXPECT_TRUE(CellShows(image, Cell(list, row, column), row % 2 ? kOwnStripes : kListColours))
          << "row " << row << " column " << column;
    }
  }
  // Below the last row lies the list's background, not a stripe.
  const CRect last = Cell(list, 5, 0);
  EXPECT_TRUE(nytest::IsSolid(image, CRect(0, last.bottom + 1, 300, last.bottom + 20), kListColours.bk));
}

// Without full-row selection only the first cell of a selected row shows the
// highlight; with it the whole row does, and its cells are not asked about.
// The list has no focus until the end.
TEST_F(StripeList, SelectedRowsInTheHighlightColoursWithoutTheFocus) {
  ProbeList list(kOwnStripes.text, kOwnStripes.bk);
  Open(list, 4);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  parent.SetFocus();
  ASSERT_NE(::GetFocus(), list.m_hWnd);

  nytest::Image image = Redraw(list);
  nytest::SaveIfRequested(image, "stripe_list_selected");
  for (int row = 1; row <= 2; ++row) {
    const Pair rest = row % 2 ? kOwnStripes : kListColours;
    // The list view highlights the first cell's text and its margins, as
    // for a list without custom drawing.
    CRect label;
    list.GetItemRect(row, &label, LVIR_SELECTBOUNDS);
    EXPECT_TRUE(AllIn(image, label, Highlight())) << row;
    EXPECT_TRUE(CellShows(image, Cell(list, row, 1), rest)) << row;
    EXPECT_TRUE(CellShows(image, Cell(list, row, 2), rest)) << row;
  }

  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  list.rowsAsked.clear();
  image = Redraw(list);
  nytest::SaveIfRequested(image, "stripe_list_selected_full_row");
  for (int column = 0; column < kColumns; ++column) {
    EXPECT_TRUE(CellShows(image, Cell(list, 1, column), Highlight())) << column;
    EXPECT_TRUE(CellShows(image, Cell(list, 2, column), Highlight())) << column;
    EXPECT_TRUE(CellShows(image, Cell(list, 3, column), kOwnStripes)) << column;
  }
  EXPECT_EQ(list.rowsAsked, (std::set<int>{0, 3}));

  // With the focus the first cell stays highlighted. (Wine's list view then
  // paints the rest of a selected row in the highlight itself, over the
  // colours chosen for those cells.)
  list.SetExtendedStyle(0);
  list.SetFocus();
  image = Redraw(list);
  CRect label;
  list.GetItemRect(1, &label, LVIR_SELECTBOUNDS);
  EXPECT_TRUE(AllIn(image, label, Highlight()));
}

// Two lists on the shared pair and one on its own: a change of the shared
// pair reaches the first two at their next redraw and leaves the third; a
// list switches between the two with Use... and Set...
TEST_F(StripeList, SharedColoursReachEveryListThatUsesThemAtItsNextRedraw) {
  CNyStripeListCtrl first, second;
  CNyStripeListCtrl own(kOwnStripes.text, kOwnStripes.bk);
  Open(first, 2, 0);
  Open(second, 2, 330);
  Open(own, 2, 660);
  EXPECT_EQ(first.GetStripeTextColor(), kDefaultShared.text);
  EXPECT_EQ(first.GetStripeTextBkColor(), kDefaultShared.bk);
  EXPECT_TRUE(CellShows(Redraw(first), Cell(first, 1, 1), kDefaultShared));

  const Pair changed = {RGB(0, 128, 0), RGB(250, 220, 150)};
  EXPECT_EQ(CNyStripeListCtrl::SetSharedStripeTextColor(changed.text), changed.text);
  EXPECT_EQ(CNyStripeListCtrl::SetSharedStripeTextBkColor(changed.bk), changed.bk);
  for (CNyStripeListCtrl* list : {&first, &second}) {
    EXPECT_EQ(list->GetStripeTextBkColor(), changed.bk);
    EXPECT_TRUE(CellShows(Redraw(*list), Cell(*list, 1, 2), changed)) << list->m_hWnd;
  }
  EXPECT_TRUE(CellShows(Redraw(own), Cell(own, 1, 2), kOwnStripes));

  // The own list joins the shared background and keeps its own text colour;
  // setting its background again detaches it, and the first list's text
  // leaves the shared colour for its own.
  EXPECT_EQ(own.UseSharedStripeTextBkColor(), changed.bk);
  EXPECT_TRUE(CellShows(Redraw(own), Cell(own, 1, 0), {kOwnStripes.text, changed.bk}));
  EXPECT_EQ(own.SetStripeTextBkColor(kOwnStripes.bk), kOwnStripes.bk);
  EXPECT_EQ(first.SetStripeTextColor(kOwnStripes.text), kOwnStripes.text);
  CNyStripeListCtrl::SetSharedStripeTextColor(kDefaultShared.text);
  CNyStripeListCtrl::SetSharedStripeTextBkColor(kDefaultShared.bk);
  EXPECT_TRUE(CellShows(Redraw(own), Cell(own, 1, 0), kOwnStripes));
  EXPECT_TRUE(CellShows(Redraw(first), Cell(first, 1, 0), {kOwnStripes.text, kDefaultShared.bk}));
  EXPECT_TRUE(CellShows(Redraw(second), Cell(second, 1, 0), kDefaultShared));
  EXPECT_EQ(first.UseSharedStripeTextColor(), kDefaultShared.text);
}

TEST(StripeListClass, RunTimeClassNamesTheListAndItsBases) {
  class Derived : public CNyStripeListCtrl {};
  Derived derived;
  const CObject& object = derived;
  EXPECT_EQ(object.GetRuntimeClass(), RUNTIME_CLASS(CNyStripeListCtrl));  // no information of its own
  EXPECT_EQ(RUNTIME_CLASS(CNyStripeListCtrl), &CNyStripeListCtrl::classCNyStripeListCtrl);
  EXPECT_STREQ(RUNTIME_CLASS(CNyStripeListCtrl)->m_lpszClassName, "CNyStripeListCtrl");
  EXPECT_EQ(RUNTIME_CLASS(CNyStripeListCtrl)->m_pfnGetBaseClass(), RUNTIME_CLASS(CListCtrl));
  for (CRuntimeClass* base : {RUNTIME_CLASS(CNyStripeListCtrl), RUNTIME_CLASS(CListCtrl), RUNTIME_CLASS(CWnd),
                              RUNTIME_CLASS(CObject)}) {
    EXPECT_TRUE(object.IsKindOf(base)) << base->m_lpszClassName;
  }
  EXPECT_FALSE(object.IsKindOf(RUNTIME_CLASS(CButton)));
  CListCtrl plain;
  EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CNyStripeListCtrl)));
}

// A derived class stripes only its third column, on every row, and paints
// one cell green at the last moment.
TEST_F(StripeList, DerivedHooksChooseTheStripedCellsAndAdjustThem) {
  ProbeList list(kOwnStripes.text, kOwnStripes.bk);
  list.stripe = [](int, int column) { return column == 2; };
  const Pair green = {RGB(255, 255, 0), RGB(0, 160, 0)};
  list.adjust = [&](NMLVCUSTOMDRAW& cd) {
    if (cd.nmcd.dwItemSpec == 3 && cd.iSubItem == 1) {
      cd.clrText = green.text;
      cd.clrTextBk = green.bk;
    }
  };
  Open(list, 4);
  const nytest::Image image = Redraw(list);
  nytest::SaveIfRequested(image, "stripe_list_third_column");
  for (int row = 0; row < 4; ++row) {
    EXPECT_TRUE(CellShows(image, Cell(list, row, 0), kListColours)) << row;
    EXPECT_TRUE(CellShows(image, Cell(list, row, 1), row == 3 ? green : kListColours)) << row;
    EXPECT_TRUE(CellShows(image, Cell(list, row, 2), kOwnStripes)) << row;
  }
}

// Each stage's answer and colours, sent through the parent as the list view
// sends them, with indexes the list view would not send among them. Colours
// start as a sentinel that the stages without a colour choice keep.
TEST_F(StripeList, EachStageAnswersWithItsResultAndColours) {
  CNyStripeListCtrl list(kOwnStripes.text, kOwnStripes.bk);
  Open(list, 3);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  constexpr COLORREF kUntouched = 0x00ADBEEF;
  const Pair untouched = {kUntouched, kUntouched};
  const struct {
    DWORD exStyle, stage;
    int row, column;
    LRESULT result;
    Pair colours;
  } cases[] = {
      {0, CDDS_PREPAINT, 0, 0, CDRF_NOTIFYITEMDRAW, untouched},
      {0, CDDS_ITEMPREPAINT, 2, 0, CDRF_NOTIFYSUBITEMDRAW, untouched},
      {LVS_EX_FULLROWSELECT, CDDS_ITEMPREPAINT, 1, 0, CDRF_NOTIFYSUBITEMDRAW, untouched},
      {LVS_EX_FULLROWSELECT, CDDS_ITEMPREPAINT, 2, 0, CDRF_NEWFONT, Highlight()},
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2, 0, CDRF_NEWFONT, Highlight()},
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2, 1, CDRF_NEWFONT, kListColours},
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1, 1, CDRF_NEWFONT, kOwnStripes},
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1, 9, CDRF_NEWFONT, kOwnStripes},     // past the last column
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1001, 0, CDRF_NEWFONT, kOwnStripes},  // past the last row
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, -1, -1, CDRF_NEWFONT, kOwnStripes},   // odd: -1 % 2 is -1
      {0, CDDS_ITEMPOSTPAINT, 1, 0, CDRF_DODEFAULT, untouched},
      {0, CDDS_POSTPAINT, 0, 0, CDRF_DODEFAULT, untouched},
      {0, CDDS_PREERASE, 0, 0, CDRF_DODEFAULT, untouched},
  };
  for (const auto& c : cases) {
    list.SetExtendedStyle(c.exStyle);
    NMLVCUSTOMDRAW cd = {};
    cd.nmcd.hdr = {list.m_hWnd, static_cast<UINT_PTR>(list.GetDlgCtrlID()), static_cast<UINT>(NM_CUSTOMDRAW)};
    cd.nmcd.dwDrawStage = c.stage;
    cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(c.row);
    cd.iSubItem = c.column;
    cd.clrText = cd.clrTextBk = kUntouched;
    const LRESULT result = parent.SendMessage(WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
    EXPECT_EQ(result, c.result) << std::hex << c.stage << " " << std::dec << c.row << "," << c.column;
    EXPECT_EQ(cd.clrText, c.colours.text)
        << std::hex << c.stage << " " << std::dec << c.row << "," << c.column;
    EXPECT_EQ(cd.clrTextBk, c.colours.bk)
        << std::hex << c.stage << " " << std::dec << c.row << "," << c.column;
  }
}

// An empty list paints its background and asks about no row; a list of
// 100,000 rows (a virtual one, whose rows cost nothing to make) asks only
// about the rows it shows, at the top and after scrolling to the end.
TEST_F(StripeList, PaintingAsksOnlyAboutTheVisibleRows) {
  ProbeList empty(kOwnStripes.text, kOwnStripes.bk);
  Open(empty, 0, 0);
  nytest::Image image = Redraw(empty);
  EXPECT_TRUE(empty.rowsAsked.empty());
  CRect client;
  empty.GetClientRect(&client);
  EXPECT_TRUE(nytest::IsSolid(image, CRect(0, 40, client.right, client.bottom), kListColours.bk));

  ProbeList many(kOwnStripes.text, kOwnStripes.bk);
  Open(many, 0, 330, LVS_OWNERDATA);
  many.SetItemCount(100000);
  ASSERT_EQ(many.GetItemCount(), 100000);
  const int perPage = many.GetCountPerPage();
  ASSERT_GT(perPage, 3);
  image = Redraw(many);
  ASSERT_FALSE(many.rowsAsked.empty());
  EXPECT_EQ(*many.rowsAsked.begin(), 0);
  EXPECT_LE(*many.rowsAsked.rbegin(), perPage);  // a partly shown row may be asked too
  // The virtual rows have no text: a striped cell is all stripe background.
  const auto striped = [&](int row) {
    CRect cell = Cell(many, row, 1);
    cell.DeflateRect(2, 2);
    return nytest::IsSolid(image, cell, kOwnStripes.bk);
  };
  EXPECT_TRUE(striped(1));
  EXPECT_FALSE(striped(2));

  ASSERT_TRUE(many.EnsureVisible(99999, FALSE));
  many.rowsAsked.clear();
  image = Redraw(many);
  ASSERT_FALSE(many.rowsAsked.empty());
  EXPECT_GE(*many.rowsAsked.begin(), 99999 - perPage);
  EXPECT_EQ(*many.rowsAsked.rbegin(), 99999);
  EXPECT_LE(many.rowsAsked.size(), static_cast<size_t>(perPage + 1));
  EXPECT_TRUE(striped(99999));
  EXPECT_FALSE(striped(99998));
}

// Many redraws of a striped list with a selection leave the toolkit's GDI
// count and the process's GDI objects where they were (Wine answers 0 for
// the latter; Windows counts them).
TEST_F(StripeList, RedrawsLeaveNoGdiObjectBehind) {
  ProbeList list(kOwnStripes.text, kOwnStripes.bk);
  Open(list, 20);
  list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  list.RedrawWindow();
  const long live = NyAfxGetLiveGdiObjectCount();
  const DWORD objects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 200; ++i) {
    list.SetExtendedStyle(i % 2 ? LVS_EX_FULLROWSELECT : 0);
    list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  EXPECT_FALSE(list.rowsAsked.empty());
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), live);
  EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), objects);
}
