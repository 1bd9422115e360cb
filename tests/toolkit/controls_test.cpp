// The toolkit's control wrappers on real controls under a display: owner
// drawing routed back from a toolkit parent, the bitmap button's pictures by
// pixels, item texts of combo and list boxes, the trackbar's clamping, list
// view items and selection, and the colour dialog run to its end by its hook.
#include <windows.h>

#include <colordlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"

namespace {

// Every colour has three different channels, so that swapped channels show.
// The four pictures of tests/toolkit/controls_*.bmp (resources 201 to 204).
constexpr COLORREF kNormal = RGB(0xE0, 0x10, 0x30);
constexpr COLORREF kPressed = RGB(0x10, 0xC0, 0x70);
constexpr COLORREF kFocused = RGB(0x20, 0x40, 0xC0);
constexpr COLORREF kDisabled = RGB(0xF0, 0xD0, 0x05);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kPictureWidth = 24, kPictureHeight = 16;

// The colour dialog asks whether a colour chosen with OK may be taken: on
// Windows its hook, under Wine its owner.
const UINT kColourOk = ::RegisterWindowMessageA(COLOROKSTRINGA);

// A plain toolkit window as the controls' parent, so that owner drawing is
// reflected by CWnd itself and by no dialog machinery.
class ParentWnd : public CWnd {
 public:
  int colourOkQueries = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kColourOk) ++colourOkQueries;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class Controls : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                30, 30, 420, 320, nullptr, nullptr));
  }

  // The colour at (x, y) of the control's window (0, 0 is its top-left
  // corner), as the screen shows it after pending painting.
  COLORREF PixelOf(const CWnd& control, int x, int y) {
    CRect r;
    control.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return nytest::CaptureClient(parent.m_hWnd).At(r.left + x, r.top + y);
  }

  nytest::Watchdog dog{60};
  ParentWnd parent;
};

// ---- Buttons --------------------------------------------------------------------

class PaintedButton : public CButton {
 public:
  std::vector<UINT> states;  // itemState of every DrawItem call

  void DrawItem(LPDRAWITEMSTRUCT item) override {
    states.push_back(item->itemState);
    const HBRUSH brush = ::CreateSolidBrush((item->itemState & ODS_SELECTED) ? kPressed : kNormal);
    ::FillRect(item->hDC, &item->rcItem, brush);
    ::DeleteObject(brush);
  }
};

TEST_F(Controls, OwnerDrawnButtonDrawsItselfThroughItsParent) {
  PaintedButton button;
  ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 70, 40), &parent, 300));
  EXPECT_EQ(PixelOf(button, 30, 15), kNormal);
  ASSERT_FALSE(button.states.empty());

  button.SetState(TRUE);  // drawn pressed, as while the mouse holds it
  EXPECT_EQ(PixelOf(button, 30, 15), kPressed);
  EXPECT_TRUE(button.states.back() & ODS_SELECTED);
  button.SetState(FALSE);
  EXPECT_EQ(PixelOf(button, 30, 15), kNormal);

  // The style byte is the button's kind alone, whatever the window styles.
  CButton check;
  ASSERT_TRUE(
      check.Create("check", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, CRect(10, 50, 110, 70), &parent, 301));
  EXPECT_EQ(check.GetButtonStyle(), static_cast<UINT>(BS_AUTOCHECKBOX));
  check.SetButtonStyle(BS_AUTO3STATE);
  EXPECT_EQ(check.GetButtonStyle(), static_cast<UINT>(BS_AUTO3STATE));
  check.SetCheck(BST_INDETERMINATE);
  EXPECT_EQ(check.GetCheck(), BST_INDETERMINATE);
}

TEST_F(Controls, BitmapButtonShowsThePictureOfItsState) {
  CBitmapButton button;
  ASSERT_TRUE(button.Create(nullptr, WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 120, 80), &parent, 310));
  ASSERT_TRUE(button.LoadBitmaps(201, 202, 203, 204));
  button.SizeToContent();
  CRect r;
  button.GetWindowRect(&r);
  EXPECT_EQ(r.Width(), kPictureWidth);
  EXPECT_EQ(r.Height(), kPictureHeight);

  // The picture is drawn upright at the item's origin: its black block
  // lies in the bottom-right corner.
  EXPECT_EQ(PixelOf(button, 2, 2), kNormal);
  EXPECT_EQ(PixelOf(button, 21, 14), kBlack);

  // Pressed wins over focused: pressing a button gives it the focus too.
  button.SetFocus();
  EXPECT_EQ(PixelOf(button, 2, 2), kFocused);
  button.SetState(TRUE);
  EXPECT_EQ(PixelOf(button, 2, 2), kPressed);
  button.SetState(FALSE);
  button.EnableWindow(FALSE);  // a disabled window loses the focus
  EXPECT_EQ(PixelOf(button, 2, 2), kDisabled);

  // States without a picture show the normal one; a missing resource fails
  // the load but keeps the pictures that did load.
  button.EnableWindow(TRUE);
  ASSERT_TRUE(button.LoadBitmaps(201, 0, 0, 204));
  button.SetState(TRUE);
  EXPECT_EQ(PixelOf(button, 2, 2), kNormal);
  EXPECT_FALSE(button.LoadBitmaps(201, 999));
  EXPECT_NE(button.m_bitmap.GetSafeHandle(), nullptr);
  EXPECT_EQ(button.m_bitmapSel.GetSafeHandle(), nullptr);
}

TEST_F(Controls, BitmapButtonAutoLoadsPicturesNamedAfterItsCaption) {
  // A button the toolkit did not create, as in a dialog template.
  const HWND raw = ::CreateWindowExA(0, "BUTTON", "NYBTN", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 50, 30, 90,
                                     40, parent.m_hWnd, reinterpret_cast<HMENU>(320), nullptr, nullptr);
  ASSERT_NE(raw, nullptr);
  CBitmapButton button;
  ASSERT_TRUE(button.AutoLoad(320, &parent));
  EXPECT_EQ(button.m_hWnd, raw);
  CRect r;
  button.GetWindowRect(&r);
  EXPECT_EQ(r.Size(), CSize(kPictureWidth, kPictureHeight));
  EXPECT_EQ(PixelOf(button, 2, 2), kNormal);
  button.SetState(TRUE);
  EXPECT_EQ(PixelOf(button, 2, 2), kPressed);
  // No "NYBTNF" and no "NYBTNX": those states show the normal picture.
  EXPECT_EQ(button.m_bitmapFocus.GetSafeHandle(), nullptr);
  EXPECT_EQ(button.m_bitmapDisabled.GetSafeHandle(), nullptr);

  CBitmapButton unnamed;
  ::CreateWindowExA(0, "BUTTON", "NOSUCH", WS_CHILD | BS_OWNERDRAW, 0, 0, 10, 10, parent.m_hWnd,
                    reinterpret_cast<HMENU>(321), nullptr, nullptr);
  EXPECT_FALSE(unnamed.AutoLoad(321, &parent));
  EXPECT_FALSE(CBitmapButton().AutoLoad(999, &parent));  // no such control
}

// ---- Combo and list boxes ----------------------------------------------------------

// One interface over the two boxes' differently named members.
CString TextOf(const CComboBox& box, int i) {
  CString s("stale");
  box.GetLBText(i, s);
  return s;
}
CString TextOf(const CListBox& box, int i) {
  CString s("stale");
  box.GetText(i, s);
  return s;
}
int LengthOf(const CComboBox& box, int i) { return box.GetLBTextLen(i); }
int LengthOf(const CListBox& box, int i) { return box.GetTextLen(i); }

template <typename Box>
void CheckItems(Box& box) {
  // "表示" in code page 932: its first character's second byte is a
  // backslash elsewhere; under 1252 the same bytes are four characters.
  const char* const texts[] = {"alpha", "\x95\x5C\x8E\xA6", "", "Alphabet"};
  for (const char* text : texts) box.AddString(text);
  EXPECT_EQ(box.InsertString(1, "beta"), 1);
  const std::vector<std::string> expected = {"alpha", "beta", "\x95\x5C\x8E\xA6", "", "Alphabet"};
  ASSERT_EQ(box.GetCount(), 5);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(std::string(TextOf(box, i)), expected[static_cast<size_t>(i)]);
    EXPECT_EQ(LengthOf(box, i), static_cast<int>(expected[static_cast<size_t>(i)].size()));
  }
  EXPECT_EQ(std::string(TextOf(box, 9)), "");  // out of range: emptied, not left stale

  // Case-insensitive searches; a prefix search from after an item wraps.
  EXPECT_EQ(box.FindStringExact(-1, "ALPHA"), 0);
  EXPECT_EQ(box.FindString(0, "alp"), 4);
  EXPECT_EQ(box.FindString(4, "alp"), 0);
  EXPECT_EQ(box.FindStringExact(-1, "gamma"), -1);
  EXPECT_EQ(box.SelectString(-1, "BE"), 1);
  EXPECT_EQ(box.GetCurSel(), 1);

  // Item data is pointer-sized.
  const auto data = static_cast<DWORD_PTR>(0x123456789ABCull);
  EXPECT_NE(box.SetItemData(2, data), -1);
  EXPECT_EQ(box.GetItemData(2), data);
  EXPECT_EQ(box.DeleteString(0), 4);
  EXPECT_EQ(box.GetItemData(1), data);  // it moved up with its item
  box.ResetContent();
  EXPECT_EQ(box.GetCount(), 0);
}

NY_CODEPAGE_TEST_F(Controls, ComboAndListBoxItemsRoundTrip) {
  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 200, 200), &parent, 400));
  {
    SCOPED_TRACE("combo box");
    CheckItems(combo);
  }
  EXPECT_EQ(combo.SetDroppedWidth(260), 260);
  EXPECT_EQ(combo.GetDroppedWidth(), 260);

  CListBox list;
  ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_NOTIFY, CRect(210, 10, 400, 200), &parent, 401));
  SCOPED_TRACE("list box");
  CheckItems(list);
}

// Items as tall as their index says, each painted in the colour of its data.
class MeasuredList : public CListBox {
 public:
  void MeasureItem(LPMEASUREITEMSTRUCT item) override { item->itemHeight = 10 + 4 * item->itemID; }
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    if (item->itemID == static_cast<UINT>(-1)) return;
    const HBRUSH brush = ::CreateSolidBrush(static_cast<COLORREF>(item->itemData));
    ::FillRect(item->hDC, &item->rcItem, brush);
    ::DeleteObject(brush);
  }
};

// The selection field 25 pixels high, the list's items 17; the field painted
// in the selected item's colour.
class MeasuredCombo : public CComboBox {
 public:
  int measured = 0;
  void MeasureItem(LPMEASUREITEMSTRUCT item) override {
    ++measured;
    item->itemHeight = item->itemID == static_cast<UINT>(-1) ? 25 : 17;
  }
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    if (item->itemID == static_cast<UINT>(-1)) return;
    const HBRUSH brush =
        ::CreateSolidBrush(static_cast<COLORREF>(GetItemData(static_cast<int>(item->itemID))));
    ::FillRect(item->hDC, &item->rcItem, brush);
    ::DeleteObject(brush);
  }
};

TEST_F(Controls, OwnerDrawnBoxesMeasureAndDrawTheirOwnItems) {
  MeasuredList list;
  ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT, CRect(10, 10, 110, 200),
                          &parent, 410));
  const COLORREF colours[] = {kNormal, kPressed, kFocused};
  for (COLORREF c : colours) list.SetItemData(list.AddString(reinterpret_cast<LPCTSTR>(c)), c);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.GetItemHeight(i), 10 + 4 * i) << i;
  // Rows 0..9, 10..23 and 24..41 of the list's client area.
  EXPECT_EQ(PixelOf(list, 50, 5), kNormal);
  EXPECT_EQ(PixelOf(list, 50, 20), kPressed);
  EXPECT_EQ(PixelOf(list, 50, 40), kFocused);

  // The selection field is measured while the combo box is being created.
  MeasuredCombo combo;
  ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                           CRect(150, 10, 300, 200), &parent, 411));
  EXPECT_GT(combo.measured, 0);
  EXPECT_EQ(combo.GetItemHeight(0), 17);
  // Windows answers the field's measured height, Wine adds the field's
  // 6-pixel frame to it; either is far above an unmeasured text line.
  EXPECT_GE(combo.GetItemHeight(-1), 25);
  EXPECT_LE(combo.GetItemHeight(-1), 31);
  combo.SetItemData(combo.AddString("one"), kFocused);
  combo.SetCurSel(0);
  combo.Invalidate();
  EXPECT_EQ(PixelOf(combo, 10, 10), kFocused);
}

// ---- Trackbar ------------------------------------------------------------------------

TEST_F(Controls, SliderClampsItsPositionIntoItsRange) {
  CSliderCtrl slider;
  ASSERT_TRUE(slider.Create(WS_VISIBLE | TBS_HORZ, CRect(10, 10, 310, 40), &parent, 500));
  struct Step {
    const char* what;
    int min, max, pos;  // the range set, then SetPos(pos)
    int expectedPos;
  };
  const Step steps[] = {
      {"inside", 0, 100, 40, 40},
      {"above", 0, 100, 150, 100},
      {"below", 0, 100, -5, 0},
      {"beyond 16 bits", -100000, 100000, 99999, 99999},
      {"a negative range", -50, -10, 0, -10},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    slider.SetRange(s.min, s.max, TRUE);
    int lo = 0, hi = 0;
    slider.GetRange(lo, hi);
    EXPECT_EQ(lo, s.min);
    EXPECT_EQ(hi, s.max);
    slider.SetPos(s.pos);
    EXPECT_EQ(slider.GetPos(), s.expectedPos);
  }
  slider.SetRange(0, 100);
  slider.SetPos(30);
  slider.SetRangeMin(60);  // the position follows a bound that passes it
  EXPECT_EQ(slider.GetPos(), 60);
  slider.SetRangeMax(70);
  slider.SetPos(100);
  EXPECT_EQ(slider.GetPos(), 70);

  // The thumb travels along the channel from one end to the other.
  slider.SetRange(0, 100, TRUE);
  CRect channel;
  slider.GetChannelRect(&channel);
  ASSERT_GT(channel.Width(), 100);
  int previous = channel.left - 1;
  for (int pos : {0, 50, 100}) {
    slider.SetPos(pos);
    CRect thumb;
    slider.GetThumbRect(&thumb);
    const int centre = (thumb.left + thumb.right) / 2;
    EXPECT_GT(centre, previous) << pos;
    EXPECT_GE(centre, channel.left) << pos;
    EXPECT_LE(centre, channel.right) << pos;
    previous = centre;
  }

  // Page and line sizes are two settings, not one.
  slider.SetPageSize(9);
  EXPECT_EQ(slider.SetLineSize(3), 1);  // the platform's default step
  EXPECT_EQ(slider.GetPageSize(), 9);
  EXPECT_EQ(slider.GetLineSize(), 3);

  // Ticks: the two ends always, plus those set inside the range.
  slider.ClearTics(TRUE);
  EXPECT_EQ(slider.GetNumTics(), 2u);
  EXPECT_TRUE(slider.SetTic(30));
  EXPECT_TRUE(slider.SetTic(60));
  EXPECT_FALSE(slider.SetTic(500));
  EXPECT_EQ(slider.GetNumTics(), 4u);
}

// ---- List view -----------------------------------------------------------------------

std::vector<int> SelectedItems(const CListCtrl& list) {
  std::vector<int> items;
  for (POSITION pos = list.GetFirstSelectedItemPosition(); pos;)
    items.push_back(list.GetNextSelectedItem(pos));
  return items;
}

NY_CODEPAGE_TEST_F(Controls, ListControlKeepsItemsSubItemsAndSelection) {
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(10, 10, 400, 200),
                          &parent, 600));
  EXPECT_EQ(list.InsertColumn(0, "Name", LVCFMT_LEFT, 80), 0);
  EXPECT_EQ(list.InsertColumn(1, "Size", LVCFMT_RIGHT, 60), 1);
  EXPECT_EQ(list.InsertColumn(2, "Kind", LVCFMT_LEFT, 100), 2);
  ASSERT_NE(list.GetHeaderCtrl(), nullptr);
  EXPECT_EQ(list.GetHeaderCtrl()->SendMessage(HDM_GETITEMCOUNT), 3);

  const std::string longText(600, 'x');
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(list.InsertItem(i, ("item" + std::to_string(i)).c_str()), i);
    list.SetItemText(i, 1, std::to_string(i * 10).c_str());
  }
  list.SetItemText(3, 2, longText.c_str());
  list.SetItemText(4, 2, "\x95\x5C\x8E\xA6");
  EXPECT_EQ(list.InsertItem(1, "inserted"), 1);  // the others move down
  ASSERT_EQ(list.GetItemCount(), 6);

  struct Cell {
    int item, subItem;
    std::string text;
  };
  const Cell cells[] = {
      {0, 0, "item0"},  {1, 0, "inserted"},         {1, 1, ""}, {2, 0, "item1"}, {2, 1, "10"},
      {4, 2, longText}, {5, 2, "\x95\x5C\x8E\xA6"}, {9, 0, ""}, {0, 7, ""},
  };
  for (const Cell& c : cells) {
    EXPECT_EQ(std::string(list.GetItemText(c.item, c.subItem)), c.text) << c.item << "," << c.subItem;
  }
  // A text that does not fit is cut, terminated, and never split inside a
  // double-byte character.
  char cut[8];
  std::memset(cut, '?', sizeof(cut));
  EXPECT_EQ(list.GetItemText(4, 2, cut, sizeof(cut)), 7);
  EXPECT_EQ(std::string(cut), "xxxxxxx");
  const std::string cutWide = nytest::IsCodePage932() ? "\x95\x5C" : "\x95\x5C\x8E";
  EXPECT_EQ(list.GetItemText(5, 2, cut, 4), static_cast<int>(cutWide.size()));
  EXPECT_EQ(std::string(cut), cutWide);

  const auto data = static_cast<DWORD_PTR>(0xFEDCBA9876ull);
  EXPECT_TRUE(list.SetItemData(2, data));
  EXPECT_EQ(list.GetItemData(2), data);

  // Selection, in index order, following deletions.
  for (int i : {1, 3, 4}) EXPECT_TRUE(list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_EQ(list.GetSelectedCount(), 3u);
  EXPECT_EQ(list.GetItemState(3, LVIS_SELECTED | LVIS_FOCUSED), static_cast<UINT>(LVIS_SELECTED));
  EXPECT_EQ(SelectedItems(list), (std::vector<int>{1, 3, 4}));
  EXPECT_TRUE(list.DeleteItem(3));
  EXPECT_EQ(SelectedItems(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
  list.SetItemState(-1, 0, LVIS_SELECTED);
  EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);
  POSITION end = nullptr;
  EXPECT_EQ(list.GetNextSelectedItem(end), -1);

  // Cells lie where the column widths put them.
  CRect cell;
  ASSERT_TRUE(list.GetSubItemRect(0, 2, LVIR_BOUNDS, cell));
  EXPECT_EQ(cell.left, 140);
  EXPECT_EQ(cell.Width(), 100);
  EXPECT_TRUE(list.SetColumnWidth(1, 90));
  EXPECT_EQ(list.GetColumnWidth(1), 90);
  ASSERT_TRUE(list.GetSubItemRect(0, 2, LVIR_BOUNDS, cell));
  EXPECT_EQ(cell.left, 170);
  CRect row;
  ASSERT_TRUE(list.GetItemRect(1, &row, LVIR_BOUNDS));
  EXPECT_EQ(row.top, cell.bottom);
  EXPECT_TRUE(list.DeleteColumn(2));
  EXPECT_EQ(list.GetHeaderCtrl()->SendMessage(HDM_GETITEMCOUNT), 2);

  EXPECT_EQ(list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES), 0u);
  EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));

  // Scrolling an item into view moves the top of the page to show it.
  list.DeleteAllItems();
  for (int i = 0; i < 60; ++i) list.InsertItem(i, std::to_string(i).c_str());
  const int perPage = list.GetCountPerPage();
  ASSERT_GT(perPage, 0);
  ASSERT_LT(perPage, 60);
  EXPECT_EQ(list.GetTopIndex(), 0);
  EXPECT_TRUE(list.EnsureVisible(50, FALSE));
  const int top = list.GetTopIndex();
  EXPECT_GT(top, 0);
  EXPECT_LE(top, 50);
  EXPECT_GT(top + perPage, 50);

  // The background colour is what the empty part below the items shows.
  list.DeleteAllItems();
  EXPECT_TRUE(list.SetBkColor(kDisabled));
  EXPECT_EQ(list.GetBkColor(), kDisabled);
  list.Invalidate();
  EXPECT_EQ(PixelOf(list, 200, 150), kDisabled);
}

// ---- Colour dialog ---------------------------------------------------------------------

// What the colour dialog's hook does once the dialog is up: it posts itself
// kAct, and on kAct types a colour into the red, green and blue boxes,
// optionally adds it to the custom colours, and ends the dialog.
constexpr UINT kAct = WM_APP + 7;

struct HookPlan {
  CColorDialog* dialog = nullptr;
  bool type = false;  // type `typed` into the colour boxes
  COLORREF typed = 0;
  bool addCustom = false;  // press "Add to custom colours"
  int end = IDOK;
  // Seen by the hook.
  bool attached = false;          // the object was the dialog window's
  int colourOkQueries = 0;        // the platform's OK processing asked
  COLORREF firstCustomShown = 0;  // custom colour 0 of the running dialog
};

UINT_PTR CALLBACK ColourHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  static HookPlan* plan = nullptr;
  if (message == WM_INITDIALOG) {
    const auto* cc = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    plan = reinterpret_cast<HookPlan*>(cc->lCustData);
    plan->firstCustomShown = cc->lpCustColors[0];
    ::PostMessageA(dialog, kAct, 0, 0);
    return TRUE;
  }
  if (message == kColourOk && plan) ++plan->colourOkQueries;
  if (message != kAct || !plan) return FALSE;
  plan->attached = CWnd::FromHandlePermanent(dialog) == plan->dialog && plan->dialog->m_hWnd == dialog;
  if (plan->type) {
    ::SetDlgItemInt(dialog, COLOR_RED, GetRValue(plan->typed), FALSE);
    ::SetDlgItemInt(dialog, COLOR_GREEN, GetGValue(plan->typed), FALSE);
    ::SetDlgItemInt(dialog, COLOR_BLUE, GetBValue(plan->typed), FALSE);
  }
  if (plan->addCustom) ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(COLOR_ADD, BN_CLICKED), 0);
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(plan->end, BN_CLICKED), 0);
  return TRUE;
}

void RunColourDialog(CColorDialog& dialog, HookPlan& plan, INT_PTR expected) {
  plan.dialog = &dialog;
  dialog.m_cc.Flags |= CC_ENABLEHOOK;
  dialog.m_cc.lpfnHook = &ColourHook;
  dialog.m_cc.lCustData = reinterpret_cast<LPARAM>(&plan);
  EXPECT_EQ(dialog.DoModal(), expected);
  EXPECT_TRUE(plan.attached);
  EXPECT_EQ(dialog.m_hWnd, nullptr);  // let go with the window
}

TEST_F(Controls, ColourDialogReturnsTheChosenColourAndSharesCustomColours) {
  COLORREF* custom = CColorDialog::GetSavedCustomColors();
  for (int i = 0; i < 16; ++i) custom[i] = RGB(i, i, i);
  const COLORREF chosen = RGB(200, 100, 50);
  {
    CColorDialog first(RGB(10, 20, 30), CC_FULLOPEN, &parent);
    EXPECT_EQ(first.m_cc.lpCustColors, custom);
    EXPECT_EQ(first.m_cc.Flags & CC_RGBINIT, static_cast<DWORD>(CC_RGBINIT));
    HookPlan plan;
    plan.type = true;
    plan.typed = chosen;
    plan.addCustom = true;
    RunColourDialog(first, plan, IDOK);
    EXPECT_EQ(first.GetColor(), chosen);
    // OK went on to the platform's own dialog procedure, which asks once
    // whether the colour may be taken, rather than ending the run itself.
    EXPECT_EQ(plan.colourOkQueries + parent.colourOkQueries, 1);
    EXPECT_EQ(first.m_cc.hwndOwner, nullptr);  // the owner was for that run only
  }
  EXPECT_EQ(custom[0], chosen);  // added by the platform into the shared array
  EXPECT_EQ(custom[1], RGB(1, 1, 1));

  // Another object shows the same custom colours; a colour set before the
  // run is the one the dialog starts with and returns untouched.
  CColorDialog second;
  EXPECT_EQ(second.m_cc.lpCustColors, custom);
  EXPECT_EQ(second.m_cc.Flags & CC_RGBINIT, 0u);  // black is no initial colour
  second.SetCurrentColor(RGB(5, 6, 7));
  HookPlan ok;
  RunColourDialog(second, ok, IDOK);
  EXPECT_EQ(ok.firstCustomShown, chosen);
  EXPECT_EQ(second.GetColor(), RGB(5, 6, 7));

  // The same object again, cancelled: the custom colours stay as they were.
  HookPlan cancel;
  cancel.end = IDCANCEL;
  RunColourDialog(second, cancel, IDCANCEL);
  EXPECT_EQ(custom[0], chosen);
}

}  // namespace
