// The striped list on real list views under a display, checked by pixels:
// stripes, the selection without the focus, the shared colours, a derived
// class's hooks; each custom-draw stage's answer, odd indexes included; and
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

constexpr int kColumns = 3, kColumnWidth = 100;

struct Pair {
  COLORREF text, bk;
};
// Every colour differs from the others and from the system's highlight pair.
constexpr Pair kListColours = {RGB(0, 0, 96), RGB(255, 255, 255)};
constexpr Pair kOwnStripes = {RGB(180, 0, 0), RGB(200, 230, 200)};
constexpr Pair kDefaultShared = {RGB(0, 0, 0), RGB(195, 214, 224)};

Pair Highlight() { return {::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_HIGHLIGHT)}; }

// The hooks as a test sees them: the rows the list view asked about, and
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

// Whether every pixel of `r` has one of the pair's colours, and both show.
testing::AssertionResult AllIn(const nytest::Image& image, const CRect& r, Pair pair) {
  const int inked = nytest::CountColour(image, r, pair.text), ground = nytest::CountColour(image, r, pair.bk);
  if (inked > 0 && ground > 0 && inked + ground == r.Width() * r.Height()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << inked << " text and " << ground << " background pixels of "
                                     << r.Width() * r.Height() << ", at the corner " << std::hex
                                     << image.At(r.left, r.top);
}

class StripeList : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "striped list", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                                1000, 260, nullptr, nullptr));
  }
  // The shared pair is process-wide: every test leaves it as it found it.
  void TearDown() override {
    CNyStripeListCtrl::SetSharedStripeTextColor(kDefaultShared.text);
    CNyStripeListCtrl::SetSharedStripeTextBkColor(kDefaultShared.bk);
  }

  // A report list at `left` in the parent, in the list colours above, of
  // three 100-pixel columns and `rows` rows "r<row>c<column>".
  void Open(CNyStripeListCtrl& list, int rows, int left = 0, DWORD style = 0) {
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | style, CRect(left, 0, left + 320, 240),
                            &parent, 500 + left));
    list.SetTextColor(kListColours.text);
    list.SetTextBkColor(kListColours.bk);
    list.SetBkColor(kListColours.bk);
    for (int c = 0; c < kColumns; ++c) list.InsertColumn(c, "col", LVCFMT_LEFT, kColumnWidth);
    for (int r = 0; r < rows; ++r) {
      list.InsertItem(r, ("r" + std::to_string(r) + "c0").c_str());
      for (int c = 1; c < kColumns; ++c)
        list.SetItemText(r, c, ("r" + std::to_string(r) + "c" + std::to_string(c)).c_str());
    }
  }

  // Repaints the list now and answers its client area.
  static nytest::Image Redraw(CListCtrl& list) {
    list.Invalidate();
    return nytest::CaptureClient(list.m_hWnd);
  }

  // A cell's rectangle in the list's client area, less the first column's
  // left margin, which the list view leaves in its own background.
  static CRect Cell(const CListCtrl& list, int row, int column) {
    CRect r;
    list.GetItemRect(row, &r, LVIR_BOUNDS);
    return CRect(column * kColumnWidth + (column ? 0 : 2), r.top, (column + 1) * kColumnWidth, r.bottom);
  }

  nytest::Watchdog dog{60};
  CWnd parent;
};

}  // namespace

TEST_F(StripeList, OddRowsInTheStripeColoursEvenRowsInTheListsOwn) {
  ProbeList list(kOwnStripes.text, kOwnStripes.bk);
  Open(list, 6);
  const nytest::Image image = Redraw(list);
  nytest::SaveIfRequested(image, "stripe_list");
  for (int row = 0; row < 6; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      EXPECT_TRUE(AllIn(image, Cell(list, row, column), row % 2 ? kOwnStripes : kListColours))
          << "row " << row << " column " << column;
    }
  }
  const CRect last = Cell(list, 5, 0);  // below the rows: the list's background
  EXPECT_TRUE(nytest::IsSolid(image, CRect(0, last.bottom + 1, 300, last.bottom + 20), kListColours.bk));
}

// Without full-row selection only the first cell of a selected row shows the
// highlight; with it the whole row does, and its cells are not asked about.
TEST_F(StripeList, SelectedRowsInTheHighlightColoursWithoutTheFocus) {
  ProbeList list(kOwnStripes.text, kOwnStripes.bk);
  Open(list, 4);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  parent.SetFocus();
  ASSERT_NE(::GetFocus(), list.m_hWnd);
  // The list view highlights the first cell's text and margins only.
  const auto label = [&](int row) {
    CRect r;
    list.GetItemRect(row, &r, LVIR_SELECTBOUNDS);
    return r;
  };

  nytest::Image image = Redraw(list);
  nytest::SaveIfRequested(image, "stripe_list_selected");
  for (int row = 1; row <= 2; ++row) {
    EXPECT_TRUE(AllIn(image, label(row), Highlight())) << row;
    EXPECT_TRUE(AllIn(image, Cell(list, row, 1), row % 2 ? kOwnStripes : kListColours)) << row;
    EXPECT_TRUE(AllIn(image, Cell(list, row, 2), row % 2 ? kOwnStripes : kListColours)) << row;
  }

  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  list.rowsAsked.clear();
  image = Redraw(list);
  for (int column = 0; column < kColumns; ++column) {
    EXPECT_TRUE(AllIn(image, Cell(list, 1, column), Highlight())) << column;
    EXPECT_TRUE(AllIn(image, Cell(list, 2, column), Highlight())) << column;
    EXPECT_TRUE(AllIn(image, Cell(list, 3, column), kOwnStripes)) << column;
  }
  EXPECT_EQ(list.rowsAsked, (std::set<int>{0, 3}));

  // With the focus the first cell stays highlighted. (Wine's list view then
  // paints the rest of a selected row in the highlight itself.)
  list.SetExtendedStyle(0);
  list.SetFocus();
  EXPECT_TRUE(AllIn(Redraw(list), label(1), Highlight()));
}

// A change of the shared pair reaches every list on it at its next redraw and
// leaves a list on its own colours; Use... joins the shared colour, Set...
// leaves it.
TEST_F(StripeList, SharedColoursReachEveryListThatUsesThemAtItsNextRedraw) {
  CNyStripeListCtrl first, second, own(kOwnStripes.text, kOwnStripes.bk);
  Open(first, 2, 0);
  Open(second, 2, 330);
  Open(own, 2, 660);
  EXPECT_TRUE(AllIn(Redraw(first), Cell(first, 1, 1), kDefaultShared));

  const Pair changed = {RGB(0, 128, 0), RGB(250, 220, 150)};
  EXPECT_EQ(CNyStripeListCtrl::SetSharedStripeTextColor(changed.text), changed.text);
  EXPECT_EQ(CNyStripeListCtrl::SetSharedStripeTextBkColor(changed.bk), changed.bk);
  EXPECT_TRUE(AllIn(Redraw(first), Cell(first, 1, 2), changed));
  EXPECT_TRUE(AllIn(Redraw(second), Cell(second, 1, 0), changed));
  EXPECT_TRUE(AllIn(Redraw(own), Cell(own, 1, 2), kOwnStripes));

  EXPECT_EQ(own.UseSharedStripeTextBkColor(), changed.bk);
  EXPECT_TRUE(AllIn(Redraw(own), Cell(own, 1, 0), {kOwnStripes.text, changed.bk}));
  EXPECT_EQ(own.SetStripeTextBkColor(kOwnStripes.bk), kOwnStripes.bk);
  EXPECT_EQ(first.SetStripeTextColor(kOwnStripes.text), kOwnStripes.text);
  CNyStripeListCtrl::SetSharedStripeTextBkColor(kDefaultShared.bk);
  EXPECT_TRUE(AllIn(Redraw(own), Cell(own, 1, 0), kOwnStripes));
  EXPECT_TRUE(AllIn(Redraw(first), Cell(first, 1, 0), {kOwnStripes.text, kDefaultShared.bk}));
  EXPECT_EQ(first.UseSharedStripeTextColor(), changed.text);
}

// A derived class stripes only its third column, on every row, and paints
// one cell green at the last moment; it is known as a striped list.
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
  for (int row = 0; row < 4; ++row) {
    EXPECT_TRUE(AllIn(image, Cell(list, row, 0), kListColours)) << row;
    EXPECT_TRUE(AllIn(image, Cell(list, row, 1), row == 3 ? green : kListColours)) << row;
    EXPECT_TRUE(AllIn(image, Cell(list, row, 2), kOwnStripes)) << row;
  }

  EXPECT_EQ(list.GetRuntimeClass(), RUNTIME_CLASS(CNyStripeListCtrl));  // no information of its own
  EXPECT_STREQ(CNyStripeListCtrl::classCNyStripeListCtrl.m_lpszClassName, "CNyStripeListCtrl");
  EXPECT_TRUE(list.IsKindOf(RUNTIME_CLASS(CListCtrl)) && list.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_FALSE(list.IsKindOf(RUNTIME_CLASS(CButton)));
  EXPECT_FALSE(CListCtrl().IsKindOf(RUNTIME_CLASS(CNyStripeListCtrl)));
}

// Each stage's answer and colours, sent through the parent as the list view
// sends them, with indexes it would not send. The colours start as a
// sentinel that stages without a colour choice keep.
TEST_F(StripeList, EachStageAnswersWithItsResultAndColours) {
  CNyStripeListCtrl list(kOwnStripes.text, kOwnStripes.bk);
  Open(list, 3);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  const Pair untouched = {0x00ADBEEF, 0x00ADBEEF};
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
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 2, 1, CDRF_NEWFONT, kListColours},
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1, 9, CDRF_NEWFONT, kOwnStripes},     // past the last column
      {0, CDDS_ITEMPREPAINT | CDDS_SUBITEM, 1001, 0, CDRF_NEWFONT, kOwnStripes},  // past the last row
      {0, CDDS_ITEMPOSTPAINT, 1, 0, CDRF_DODEFAULT, untouched},
  };
  for (const auto& c : cases) {
    list.SetExtendedStyle(c.exStyle);
    NMLVCUSTOMDRAW cd = {};
    cd.nmcd.hdr = {list.m_hWnd, static_cast<UINT_PTR>(list.GetDlgCtrlID()), static_cast<UINT>(NM_CUSTOMDRAW)};
    cd.nmcd.dwDrawStage = c.stage;
    cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(c.row);
    cd.iSubItem = c.column;
    cd.clrText = cd.clrTextBk = untouched.text;
    const LRESULT result = parent.SendMessage(WM_NOTIFY, cd.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
    EXPECT_TRUE(result == c.result && cd.clrText == c.colours.text && cd.clrTextBk == c.colours.bk)
        << std::hex << c.stage << std::dec << " row " << c.row << " column " << c.column << ": " << result;
  }
}

// An empty list paints its background and asks about no row; a list of
// 100,000 rows (a virtual one: its rows cost nothing to make) asks only about
// the rows it shows, at the top and at the end; redrawing it many times
// leaves the GDI counts where they were (Wine's process count is always 0).
TEST_F(StripeList, PaintingAsksOnlyAboutTheVisibleRowsAndKeepsNoGdiObject) {
  ProbeList empty(kOwnStripes.text, kOwnStripes.bk), many(kOwnStripes.text, kOwnStripes.bk);
  Open(empty, 0, 0);
  EXPECT_TRUE(nytest::IsSolid(Redraw(empty), CRect(0, 40, 300, 220), kListColours.bk));
  EXPECT_TRUE(empty.rowsAsked.empty());

  Open(many, 0, 330, LVS_OWNERDATA);
  many.SetItemCount(100000);
  const int perPage = many.GetCountPerPage();
  nytest::Image image = Redraw(many);
  // The virtual rows have no text: a striped cell is all stripe background.
  const auto striped = [&](int row) { return nytest::IsSolid(image, Cell(many, row, 1), kOwnStripes.bk); };
  EXPECT_TRUE(striped(1) && !striped(2));
  ASSERT_FALSE(many.rowsAsked.empty());
  EXPECT_EQ(*many.rowsAsked.begin(), 0);
  EXPECT_LE(*many.rowsAsked.rbegin(), perPage);  // a partly shown row is asked too

  ASSERT_TRUE(many.EnsureVisible(99999, FALSE));
  many.rowsAsked.clear();
  image = Redraw(many);
  EXPECT_TRUE(striped(99999) && !striped(99998));
  EXPECT_LE(many.rowsAsked.size(), static_cast<size_t>(perPage + 1));
  EXPECT_GE(*many.rowsAsked.begin(), 99999 - perPage);

  many.SetItemState(99998, LVIS_SELECTED, LVIS_SELECTED);
  const long live = NyAfxGetLiveGdiObjectCount();
  const DWORD objects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 200; ++i) {
    many.SetExtendedStyle(i % 2 ? LVS_EX_FULLROWSELECT : 0);
    many.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), live);
  EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), objects);
}
