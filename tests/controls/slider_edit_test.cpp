// The slider edit: its placement arithmetic on plain values, and the control
// on a real edit box under a display, driven by sent messages: the layout
// after attaching, the drop-down with the real slider holding the mouse,
// the text following the thumb, committing typed text, the drop button's
// drawing by pixels, and a derived notation.
#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "DoRor.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"
#include "controls/NySliderEditLayout.h"

namespace {

using ny::layout::Point;
using ny::layout::Rect;
using ny::layout::Size;

constexpr int kButtonId = 0x1234;
constexpr int kEditId = 1001;

}  // namespace

// ---- Placement arithmetic ---------------------------------------------------------------

TEST(SliderEditLayout, DropButtonTakesEighteenPixelsFromTheBox) {
  const struct {
    Rect edit;
    std::optional<Rect> narrowed, button;
  } cases[] = {
      {{10, 20, 110, 42}, Rect{10, 20, 92, 42}, Rect{94, 20, 110, 42}},
      {{-50, 0, 19, 20}, Rect{-50, 0, 1, 20}, Rect{3, 0, 19, 20}},  // r = 1 still has room
      {{-50, 0, 18, 20}, std::nullopt, std::nullopt},               // r = 0: too far left
      {{-200, 5, -100, 25}, std::nullopt, std::nullopt},
      {{0, 0, INT_MIN, 0}, std::nullopt, std::nullopt},  // no overflow below INT_MIN
  };
  for (const auto& c : cases) {
    const auto layout = ny::controls::LayOutDropButton(c.edit);
    ASSERT_EQ(layout.has_value(), c.narrowed.has_value()) << c.edit.right;
    if (!layout) continue;
    EXPECT_EQ(layout->edit, *c.narrowed) << c.edit.right;
    EXPECT_EQ(layout->button, *c.button) << c.edit.right;
  }
}

TEST(SliderEditLayout, PopupHangsUnderTheButtonWithTheThumbUnderThePointer) {
  const Size slider{180, 20};
  const Rect thumb{87, 2, 98, 20};  // centre x (87 + 98) / 2 = 92
  const Rect button{480, 280, 496, 302};
  const Rect screen{0, 0, 1280, 1024};
  const struct {
    const char* name;
    Point cursor;
    Rect thumb;
    std::optional<Rect> work;
    Rect expected;
  } cases[] = {
      // (-3, -3, 183, 23) moved by (500 - 92, 302).
      {"no work area", {500, 290}, thumb, std::nullopt, {405, 299, 591, 325}},
      {"inside", {500, 290}, thumb, screen, {405, 299, 591, 325}},
      // Truncation toward zero: the centre of (-5, 0) is -2, not -3.
      {"negative thumb", {500, 290}, {-5, 0, 0, 20}, std::nullopt, {499, 299, 685, 325}},
      {"right edge", {1270, 290}, thumb, screen, {1094, 299, 1280, 325}},
      {"left edge", {10, 290}, thumb, screen, {0, 299, 186, 325}},
      // Not enough room below the button: it opens upwards, bottom at the
      // button's top plus the frame.
      {"opens upwards", {500, 290}, thumb, Rect{0, 0, 1280, 310}, {405, 257, 591, 283}},
      // No room above either: shifted up as far as the work area's bottom.
      {"no room either way", {500, 290}, thumb, Rect{0, 270, 1280, 310}, {405, 284, 591, 310}},
      // A second monitor left of the primary one, in negative coordinates.
      {"negative monitor", {-5, 290}, thumb, Rect{-1024, 0, 0, 768}, {-186, 299, 0, 325}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ny::controls::PlaceSliderPopup(slider, c.thumb, c.cursor, button, c.work), c.expected)
        << c.name;
  }

  // Larger than the work area: the top-left corner stays inside.
  const Rect big = ny::controls::PlaceSliderPopup({2000, 1100}, thumb, {500, 290}, button, screen);
  EXPECT_EQ(big.left, 0);
  EXPECT_EQ(big.top, 0);
  // Nonsensical sizes stay within 32 bits instead of wrapping.
  const Rect huge =
      ny::controls::PlaceSliderPopup({INT_MAX, INT_MAX}, thumb, {500, 290}, button, std::nullopt);
  EXPECT_EQ(huge.right, INT_MAX);
  EXPECT_EQ(huge.bottom, INT_MAX);
}

// ---- The control on real windows ------------------------------------------------------

namespace {

// Records the hooks and the text updates in the order they come.
class RecordingSliderEdit : public CNySliderEdit {
 public:
  std::vector<std::string> events;
  using CNySliderEdit::UpdatePos;

 protected:
  void OnStartTrack() override { events.push_back("start"); }
  void OnTracking(UINT code, int pos) override {
    events.push_back("track " + std::to_string(code) + " " + std::to_string(pos));
  }
  void OnEndTrack(int pos) override {
    const bool shown = ::IsWindowVisible(::GetParent(GetSliderCtrl()->m_hWnd));
    events.push_back("end " + std::to_string(pos) + (shown ? " shown" : " hidden"));
  }
  void OnPosChanged(int pos) override { events.push_back("changed " + std::to_string(pos)); }
  void UpdateText(int pos) override {
    events.push_back("text " + std::to_string(pos));
    CNySliderEdit::UpdateText(pos);
  }
};

// Percentages: "42%"; a text that is no percentage leaves the position.
class PercentSliderEdit : public CNySliderEdit {
 protected:
  void DoUpdateText(int pos, CString& text) override { text.Format("%d%%", pos); }
  void DoUpdatePos(CString text, int& pos) override {
    int value = 0;
    char sign = 0;
    if (std::sscanf(text, "%d%c", &value, &sign) == 2 && sign == '%') pos = value;
  }
};

class SliderEdit : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "slider edit", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                40, 40, 420, 320, nullptr, nullptr));
  }

  // An edit box of the parent, 100 by 22, as a dialog template makes it,
  // attached to `edit`; a second box (id 1002) is there to take the focus.
  // The object destroys its box, so the next one gets a new box.
  void Attach(CNySliderEdit& edit, int left = 20) {
    for (const int id : {kEditId, 1002}) {
      if (::GetDlgItem(parent.m_hWnd, id)) continue;
      ASSERT_NE(::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, left,
                                  id == kEditId ? 20 : 60, 100, 22, parent.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr),
                nullptr);
    }
    ASSERT_TRUE(edit.SubclassDlgItem(kEditId, &parent));
  }

  CRect ChildRect(HWND child) {
    CRect r;
    ::GetWindowRect(child, &r);
    parent.ScreenToClient(&r);
    return r;
  }

  static std::string Text(const CWnd& wnd) {
    CString text;
    wnd.GetWindowText(text);
    return text.GetString();
  }

  static void Type(CNySliderEdit& edit, const char* text) {
    edit.SetWindowText(text);
    MSG msg = {edit.m_hWnd, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
    EXPECT_FALSE(edit.PreTranslateMessage(&msg));  // still on its way to the dialog
  }

  HWND Button() const { return ::GetDlgItem(parent.m_hWnd, kButtonId); }

  // Presses the drop button with the pointer on its centre, as the user
  // does; answers the pointer's screen position.
  CPoint Drop() {
    CRect r;
    ::GetWindowRect(Button(), &r);
    const CPoint centre = r.CenterPoint();
    ::SetCursorPos(centre.x, centre.y);
    ::SendMessageA(Button(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.Width() / 2, r.Height() / 2));
    return centre;
  }
  // The slider holds the mouse: moves and the release go to it.
  static void Drag(CSliderCtrl* slider, int x) {
    ::SendMessageA(slider->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 10));
  }
  static void Release(CSliderCtrl* slider, int x) {
    ::SendMessageA(slider->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
  }

  nytest::Watchdog dog{60};
  CWnd parent;
};

}  // namespace

TEST_F(SliderEdit, AttachingMakesRoomForTheDropButtonAndItsPopup) {
  CNySliderEdit edit;
  Attach(edit);
  EXPECT_EQ(ChildRect(edit.m_hWnd), CRect(20, 20, 102, 42));
  EXPECT_EQ(Text(edit), "0");
  ASSERT_NE(Button(), nullptr);
  EXPECT_EQ(ChildRect(Button()), CRect(104, 20, 120, 42));
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(Button(), GWL_STYLE)), 0x5000100Bu);
  EXPECT_EQ(::GetWindowTextLengthA(Button()), 0);

  int nMin = -1, nMax = -1;
  edit.GetRange(nMin, nMax);
  EXPECT_EQ(std::make_pair(nMin, nMax), std::make_pair(0, 100));
  CSliderCtrl* slider = edit.GetSliderCtrl();
  ASSERT_NE(slider->m_hWnd, nullptr);
  EXPECT_EQ(::GetDlgCtrlID(slider->m_hWnd), 0x2345);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(slider->m_hWnd, GWL_STYLE)), 0x50000001u);

  // The pop-up: hidden, owned by the dialog, a class of its own. The
  // platform adds WS_CLIPSIBLINGS to every top-level window.
  const HWND popup = ::GetParent(slider->m_hWnd);
  EXPECT_FALSE(::IsWindowVisible(popup));
  EXPECT_EQ(::GetWindow(popup, GW_OWNER), parent.m_hWnd);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(popup, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x80880000u);
  EXPECT_TRUE(::GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(::GetClassLongPtrA(popup, GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
  EXPECT_EQ(::GetClassLongPtrA(popup, GCLP_HCURSOR), 0u);
  EXPECT_EQ(::GetClassLongPtrA(popup, GCLP_HBRBACKGROUND), 0u);

  CRect sliderRect;
  slider->GetWindowRect(&sliderRect);
  EXPECT_EQ(sliderRect.Size(), CSize(180, 20));
  edit.SetSliderSize(CSize(240, 30));  // reaches the slider at once
  slider->GetWindowRect(&sliderRect);
  EXPECT_EQ(sliderRect.Size(), CSize(240, 30));

  // Disabling the box disables the button alike.
  edit.EnableWindow(FALSE);
  EXPECT_FALSE(::IsWindowEnabled(Button()));
  edit.EnableWindow(TRUE);
  EXPECT_TRUE(::IsWindowEnabled(Button()));
}

TEST_F(SliderEdit, BoxTooFarLeftGetsNoButtonAndPositionsDoNothing) {
  RecordingSliderEdit edit;
  Attach(edit, -82);  // right edge 18: no room left of a button
  EXPECT_EQ(ChildRect(edit.m_hWnd).Width(), 100);
  EXPECT_EQ(Button(), nullptr);
  EXPECT_EQ(edit.GetSliderCtrl()->m_hWnd, nullptr);

  edit.SetRange(10, 20);
  edit.SetPos(15);
  edit.SetTicFreq(2);
  edit.SetSliderSize(CSize(50, 50));
  Type(edit, "42");
  ::SetFocus(edit.m_hWnd);
  ::SetFocus(::GetDlgItem(parent.m_hWnd, 1002));
  edit.EnableWindow(FALSE);
  EXPECT_EQ(edit.GetPos(), 0);
  int nMin = -1, nMax = -1;
  edit.GetRange(nMin, nMax);
  EXPECT_EQ(std::make_pair(nMin, nMax), std::make_pair(0, 0));
  EXPECT_EQ(Text(edit), "42");
  EXPECT_TRUE(edit.events.empty());
}

TEST_F(SliderEdit, DraggingTheDroppedSliderMovesTheText) {
  RecordingSliderEdit edit;
  Attach(edit);
  edit.SetPos(40);
  edit.events.clear();
  CSliderCtrl* slider = edit.GetSliderCtrl();
  const HWND popup = ::GetParent(slider->m_hWnd);

  // The slider holds the mouse, its thumb under the pointer, the pop-up's
  // client area starting at the button's bottom edge.
  const CPoint pointer = Drop();
  EXPECT_EQ(edit.events, std::vector<std::string>{"start"});
  EXPECT_TRUE(::IsWindowVisible(popup));
  EXPECT_EQ(::GetCapture(), slider->m_hWnd);
  CRect thumb, button;
  slider->GetThumbRect(&thumb);
  slider->ClientToScreen(&thumb);
  ::GetWindowRect(Button(), &button);
  CPoint client(0, 0);
  ::ClientToScreen(popup, &client);
  EXPECT_EQ((thumb.left + thumb.right) / 2, pointer.x);
  EXPECT_EQ(client.y, button.bottom) << "a 3-pixel frame";

  // Past the right end, halfway and past the left end. The text changes
  // only with the position: a repeated position (Wine's slider sends none
  // itself) is passed to the hook and nothing more.
  Drag(slider, 400);
  ::SendMessageA(popup, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 100), reinterpret_cast<LPARAM>(slider->m_hWnd));
  CRect channel;
  slider->GetChannelRect(&channel);
  Drag(slider, (channel.left + channel.right) / 2);
  Drag(slider, -100);
  EXPECT_EQ(Text(edit), "0");
  EXPECT_EQ(edit.events, (std::vector<std::string>{"start", "track 5 100", "text 100", "track 5 100",
                                                   "track 5 50", "text 50", "track 5 0", "text 0"}));

  // Releasing ends the drag after the slider's last notifications, once,
  // with the final position and the pop-up already hidden. Wine's slider
  // reports TB_ENDTRACK twice: on the release and when it lets the mouse go.
  edit.events.clear();
  Release(slider, -100);
  ASSERT_GE(edit.events.size(), 3u);
  EXPECT_EQ(edit.events.front(), "track 4 0");
  EXPECT_EQ(edit.events.back(), "end 0 hidden");
  for (size_t i = 1; i + 1 < edit.events.size(); ++i) EXPECT_EQ(edit.events[i], "track 8 0");
  EXPECT_FALSE(::IsWindowVisible(popup));
  EXPECT_NE(::GetCapture(), slider->m_hWnd);
  EXPECT_EQ(edit.GetPos(), 0);

  // Negative positions do not fit the message's 16 bits; the text still
  // shows them.
  edit.SetRange(-100, 100);
  Drop();
  Drag(slider, -100);
  EXPECT_EQ(Text(edit), "-100");
  Release(slider, -100);
}

TEST_F(SliderEdit, EnterAndLeavingTheBoxCommitTheTextWithinTheRange) {
  RecordingSliderEdit edit;
  Attach(edit);
  // A text without digits is 0, then the bound nearest to it; a range whose
  // minimum lies above its maximum gives the maximum; the C library's atoi
  // saturates.
  const struct {
    const char* typed;
    int nMin, nMax;
    const char* shown;
  } cases[] = {
      {"150", 0, 100, "100"},    {"-5", 0, 100, "0"},    {"  42xyz", 0, 100, "42"},
      {"abc", 0, 100, "0"},      {"abc", 10, 100, "10"}, {"abc", -100, -10, "-10"},
      {"-50", -100, 100, "-50"}, {"50", 100, 0, "0"},    {"99999999999", 0, 100, "100"},
  };
  for (const auto& c : cases) {
    edit.SetRange(c.nMin, c.nMax);
    edit.events.clear();
    Type(edit, c.typed);
    EXPECT_EQ(Text(edit), c.shown) << c.typed;
    EXPECT_EQ(std::to_string(edit.GetPos()), c.shown) << c.typed;
    EXPECT_EQ(edit.events,
              (std::vector<std::string>{std::string("text ") + c.shown, std::string("changed ") + c.shown}))
        << c.typed;
  }

  // Other keys and another window's Enter leave the position alone.
  edit.SetRange(0, 100);
  edit.SetPos(10);
  edit.SetWindowText("77");
  MSG other = {::GetDlgItem(parent.m_hWnd, 1002), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  MSG tab = {edit.m_hWnd, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  edit.PreTranslateMessage(&other);
  edit.PreTranslateMessage(&tab);
  EXPECT_EQ(edit.GetPos(), 10);

  // Leaving the box commits as Enter does.
  edit.SetFocus();
  edit.SetWindowText("250");
  edit.events.clear();
  ::SetFocus(::GetDlgItem(parent.m_hWnd, 1002));
  EXPECT_EQ(Text(edit), "100");
  EXPECT_EQ(edit.events, (std::vector<std::string>{"text 100", "changed 100"}));
}

TEST_F(SliderEdit, DerivedNotationShowsThroughout) {
  PercentSliderEdit edit;
  Attach(edit);
  EXPECT_EQ(Text(edit), "0%");
  Drop();
  Drag(edit.GetSliderCtrl(), 400);
  EXPECT_EQ(Text(edit), "100%");
  Release(edit.GetSliderCtrl(), 400);

  Type(edit, "30%");
  EXPECT_EQ(edit.GetPos(), 30);
  Type(edit, "150%");
  EXPECT_EQ(Text(edit), "100%");
  Type(edit, "half");  // not a percentage: the position stays, the text is redone
  EXPECT_EQ(Text(edit), "100%");
}

TEST_F(SliderEdit, DropButtonDrawnPressedWhileTheSliderIsOut) {
  CNySliderEdit edit;
  Attach(edit);
  const CRect r = ChildRect(Button());
  // The glyph's pixels of one colour inside the frame, in button coordinates.
  const auto glyph = [&](COLORREF colour, const char* picture = nullptr) {
    const nytest::Image image = nytest::CaptureClient(parent.m_hWnd);
    if (picture) nytest::SaveIfRequested(image, picture);
    std::set<std::pair<int, int>> pixels;
    for (int y = 2; y < r.Height() - 2; ++y) {
      for (int x = 2; x < r.Width() - 2; ++x) {
        if (image.At(r.left + x, r.top + y) == colour) pixels.insert({x, y});
      }
    }
    return pixels;
  };
  const COLORREF black = RGB(0, 0, 0), shadow = ::GetSysColor(COLOR_BTNSHADOW);

  // Up: inner rectangle (2, 2, 13, 19) of a 16 by 22 button, so the
  // outline's left edge is at x 4 from y 5 and its top edge at y 5; the shade
  // line at x 9.
  const auto up = glyph(black, "slider_edit_up");
  EXPECT_TRUE(up.count({4, 5}) && up.count({4, 10}) && up.count({9, 5})) << up.size();
  EXPECT_EQ(glyph(shadow).count({9, 8}), 1u);

  // Out: the whole glyph one pixel down and right; back when released.
  Drop();
  std::set<std::pair<int, int>> shifted;
  for (const auto& [x, y] : up) shifted.insert({x + 1, y + 1});
  EXPECT_EQ(glyph(black, "slider_edit_pressed"), shifted);
  Release(edit.GetSliderCtrl(), 0);
  EXPECT_EQ(glyph(black), up);

  // Disabled: no black; the outline in the shadow colour.
  edit.EnableWindow(FALSE);
  EXPECT_TRUE(glyph(black).empty());
  EXPECT_EQ(glyph(shadow).count({4, 10}), 1u);
}

// A thousand drawings of the button, every tenth cycle a whole drop, drag
// and release, and a hundred controls attached and destroyed keep no GDI
// object behind.
TEST_F(SliderEdit, CyclesLeaveTheGdiCountFlat) {
  const long before = NyAfxGetLiveGdiObjectCount();
  {
    CNySliderEdit edit;
    Attach(edit);
    CSliderCtrl* slider = edit.GetSliderCtrl();
    for (int i = 0; i < 1000; ++i) {
      if (i % 10 == 0) {
        Drop();
        ::UpdateWindow(Button());
        Drag(slider, i % 200);
        Release(slider, i % 200);
      }
      ::RedrawWindow(Button(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(Text(edit), std::to_string(edit.GetPos()));
  }
  for (int i = 0; i < 100; ++i) {
    CNySliderEdit edit;
    Attach(edit);
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), before);
}

TEST_F(SliderEdit, ParentDestroyedBeforeTheObject) {
  auto edit = std::make_unique<CNySliderEdit>();
  Attach(*edit);
  const HWND popup = ::GetParent(edit->GetSliderCtrl()->m_hWnd);
  parent.DestroyWindow();
  EXPECT_FALSE(::IsWindow(popup));  // owned windows go with their owner
  EXPECT_EQ(edit->m_hWnd, nullptr);
  edit.reset();
}
