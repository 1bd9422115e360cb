// The slider edit: its placement on plain values, then the control on a real
// edit box, driven by sent messages: layout, drop-down and drag with the
// hooks in order, committing typed text, the pressed button by pixels, and
// the GDI count over many cycles.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"
#include "controls/NySliderEditLayout.h"

using ny::layout::Rect;

TEST(SliderEditLayout, DropButtonAndPopupPlacement) {
  const struct {
    Rect edit;
    std::optional<Rect> narrowed, button;
  } boxes[] = {
      {{10, 20, 110, 42}, Rect{10, 20, 92, 42}, Rect{94, 20, 110, 42}},
      {{-50, 0, 19, 20}, Rect{-50, 0, 1, 20}, Rect{3, 0, 19, 20}},  // r = 1 still has room
      {{-50, 0, 18, 20}, std::nullopt, std::nullopt},               // r = 0: too far left
      {{0, 0, INT_MIN, 0}, std::nullopt, std::nullopt},             // no wrap below INT_MIN
  };
  for (const auto& c : boxes) {
    const auto layout = ny::controls::LayOutDropButton(c.edit);
    ASSERT_EQ(layout.has_value(), c.narrowed.has_value()) << c.edit.right;
    if (layout) EXPECT_TRUE(layout->edit == *c.narrowed && layout->button == *c.button) << c.edit.right;
  }

  // A 180 by 20 slider whose thumb centre is x 92, under a button whose
  // bottom is 302: (-3, -3, 183, 23) moved by (cursor.x - 92, 302).
  const Rect thumb{87, 2, 98, 20}, button{480, 280, 496, 302}, screen{0, 0, 1280, 1024};
  const struct {
    int cursorX;
    Rect thumb;
    std::optional<Rect> work;
    Rect expected;
  } popups[] = {
      {500, thumb, std::nullopt, {405, 299, 591, 325}},
      {500, thumb, screen, {405, 299, 591, 325}},
      {500, {-5, 0, 0, 20}, std::nullopt, {499, 299, 685, 325}},    // centre -2: truncated
      {1270, thumb, screen, {1094, 299, 1280, 325}},                // kept on the right
      {10, thumb, screen, {0, 299, 186, 325}},                      // and on the left
      {-5, thumb, Rect{-1024, 0, 0, 768}, {-186, 299, 0, 325}},     // a monitor left of 0
      {500, thumb, Rect{0, 0, 1280, 310}, {405, 257, 591, 283}},    // no room below: upwards
      {500, thumb, Rect{0, 270, 1280, 310}, {405, 284, 591, 310}},  // nor above: shifted
  };
  for (const auto& c : popups) {
    const Rect placed = ny::controls::PlaceSliderPopup({180, 20}, c.thumb, {c.cursorX, 290}, button, c.work);
    EXPECT_TRUE(placed == c.expected) << c.cursorX << " " << placed.left << "," << placed.top;
  }
  // Larger than the work area: the top-left corner stays on it.
  const Rect big = ny::controls::PlaceSliderPopup({2000, 1100}, thumb, {500, 290}, button, screen);
  EXPECT_TRUE(big.left == 0 && big.top == 0);
  const Rect huge = ny::controls::PlaceSliderPopup({INT_MAX, INT_MAX}, thumb, {500, 290}, button, {});
  EXPECT_TRUE(huge.right == INT_MAX && huge.bottom == INT_MAX);
}

namespace {

constexpr int kEditId = 1001, kOtherId = 1002, kButtonId = 0x1234;

// Records the hooks and the text updates in the order they come.
class RecordingSliderEdit : public CNySliderEdit {
 public:
  std::vector<std::string> events;

 protected:
  void OnStartTrack() override { events.push_back("start"); }
  void OnTracking(UINT code, int pos) override { Add("track " + std::to_string(code), pos); }
  void OnEndTrack(int pos) override {
    const bool shown = ::IsWindowVisible(::GetParent(GetSliderCtrl()->m_hWnd));
    Add(shown ? "end shown" : "end", pos);
  }
  void OnPosChanged(int pos) override { Add("changed", pos); }
  void UpdateText(int pos) override {
    Add("text", pos);
    CNySliderEdit::UpdateText(pos);
  }
  void Add(const std::string& what, int pos) { events.push_back(what + " " + std::to_string(pos)); }
};

class SliderEdit : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "slider edit", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                40, 40, 420, 320, nullptr, nullptr));
  }

  // Attaches `edit` to a new 100 by 22 box placed as a dialog template
  // places it; a second box is there to take the focus.
  void Attach(CNySliderEdit& edit, int left = 20) {
    for (const int id : {kEditId, kOtherId}) {
      if (!::GetDlgItem(parent.m_hWnd, id))
        ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, left, id == kEditId ? 20 : 60,
                          100, 22, parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
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

  static void TypeAndEnter(CNySliderEdit& edit, const char* text) {
    edit.SetWindowText(text);
    MSG msg = {edit.m_hWnd, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
    EXPECT_FALSE(edit.PreTranslateMessage(&msg));  // still on its way to the dialog
  }

  HWND Button() const { return ::GetDlgItem(parent.m_hWnd, kButtonId); }

  // Presses the drop button with the pointer on its centre; answers where.
  CPoint Drop() {
    CRect r;
    ::GetWindowRect(Button(), &r);
    ::SetCursorPos(r.CenterPoint().x, r.CenterPoint().y);
    ::SendMessageA(Button(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.Width() / 2, r.Height() / 2));
    return r.CenterPoint();
  }
  // The slider holds the mouse: moves and the release go to it.
  static void Drag(CSliderCtrl* slider, int x, UINT message = WM_MOUSEMOVE) {
    ::SendMessageA(slider->m_hWnd, message, message == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(x, 10));
  }

  nytest::Watchdog dog{60};
  CWnd parent;
};

}  // namespace

TEST_F(SliderEdit, AttachingMakesRoomForTheButtonOrNothingTooFarLeft) {
  {
    CNySliderEdit edit;
    Attach(edit);
    EXPECT_EQ(ChildRect(edit.m_hWnd), CRect(20, 20, 102, 42));
    EXPECT_EQ(ChildRect(Button()), CRect(104, 20, 120, 42));
    EXPECT_EQ(Text(edit), "0");
    edit.EnableWindow(FALSE);
    EXPECT_FALSE(::IsWindowEnabled(Button()));
  }
  // Right edge 18: no button, no slider, and the position functions do
  // nothing, neither write the text nor call a hook.
  RecordingSliderEdit edit;
  Attach(edit, -82);
  EXPECT_EQ(ChildRect(edit.m_hWnd).Width(), 100);
  EXPECT_TRUE(Button() == nullptr && edit.GetSliderCtrl()->m_hWnd == nullptr);
  edit.SetRange(10, 20);
  edit.SetPos(15);
  TypeAndEnter(edit, "42");
  int nMin = -1, nMax = -1;
  edit.GetRange(nMin, nMax);
  EXPECT_TRUE(edit.GetPos() == 0 && nMin == 0 && nMax == 0);
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

  // The slider holds the mouse with its thumb under the pointer; the
  // pop-up's client area starts at the button's bottom edge.
  const CPoint pointer = Drop();
  EXPECT_EQ(::GetCapture(), slider->m_hWnd);
  CRect thumb, button;
  slider->GetThumbRect(&thumb);
  slider->ClientToScreen(&thumb);
  ::GetWindowRect(Button(), &button);
  CPoint client(0, 0);
  ::ClientToScreen(popup, &client);
  EXPECT_EQ((thumb.left + thumb.right) / 2, pointer.x);
  EXPECT_EQ(client.y, button.bottom);

  // Right end, a repeated position (Wine's slider sends none itself), the
  // middle, the left end: the text changes only with the position.
  Drag(slider, 400);
  ::SendMessageA(popup, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 100), reinterpret_cast<LPARAM>(slider->m_hWnd));
  CRect channel;
  slider->GetChannelRect(&channel);
  Drag(slider, channel.CenterPoint().x);
  Drag(slider, -100);
  EXPECT_EQ(Text(edit), "0");
  EXPECT_EQ(edit.events, (std::vector<std::string>{"start", "track 5 100", "text 100", "track 5 100",
                                                   "track 5 50", "text 50", "track 5 0", "text 0"}));

  // The release ends once, after the slider's last notifications, with the
  // pop-up hidden. Wine's slider reports TB_ENDTRACK twice: on the release
  // and when it lets the mouse go.
  edit.events.clear();
  Drag(slider, -100, WM_LBUTTONUP);
  EXPECT_EQ(edit.events.front(), "track 4 0");
  EXPECT_EQ(edit.events.back(), "end 0");
  EXPECT_EQ(std::count(edit.events.begin(), edit.events.end(), "track 8 0") + 2, edit.events.size());
  EXPECT_FALSE(::IsWindowVisible(popup));

  // Negative positions do not fit the message's 16 bits; the text shows them.
  edit.SetRange(-100, 100);
  Drop();
  Drag(slider, -100);
  EXPECT_EQ(Text(edit), "-100");
  Drag(slider, -100, WM_LBUTTONUP);
}

TEST_F(SliderEdit, EnterAndLeavingTheBoxCommitTheTextWithinTheRange) {
  RecordingSliderEdit edit;
  Attach(edit);
  // Without digits 0, then the bound nearest to it; a minimum above the
  // maximum gives the maximum; the C library's atoi saturates.
  const struct {
    const char* typed;
    int nMin, nMax;
    const char* shown;
  } cases[] = {
      {"150", 0, 100, "100"},    {"-5", 0, 100, "0"},
      {"  42xyz", 0, 100, "42"}, {"abc", 10, 100, "10"},
      {"abc", -100, -10, "-10"}, {"-50", -100, 100, "-50"},
      {"50", 100, 0, "0"},       {"99999999999", 0, 100, "100"},
  };
  for (const auto& c : cases) {
    edit.SetRange(c.nMin, c.nMax);
    edit.events.clear();
    TypeAndEnter(edit, c.typed);
    EXPECT_EQ(Text(edit) + " " + std::to_string(edit.GetPos()), std::string(c.shown) + " " + c.shown);
    EXPECT_EQ(edit.events,
              (std::vector<std::string>{std::string("text ") + c.shown, std::string("changed ") + c.shown}));
  }

  // Another key commits nothing; leaving the box commits as Enter does.
  edit.SetRange(0, 100);
  edit.SetWindowText("250");
  MSG tab = {edit.m_hWnd, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  edit.PreTranslateMessage(&tab);
  EXPECT_EQ(Text(edit), "250");
  edit.SetFocus();
  edit.events.clear();
  ::SetFocus(::GetDlgItem(parent.m_hWnd, kOtherId));
  EXPECT_EQ(Text(edit), "100");
  EXPECT_EQ(edit.events, (std::vector<std::string>{"text 100", "changed 100"}));
}

TEST_F(SliderEdit, DropButtonDrawnPressedWhileTheSliderIsOut) {
  CNySliderEdit edit;
  Attach(edit);
  const CRect r = ChildRect(Button());
  // The black pixels of the glyph, in button coordinates.
  const auto glyph = [&](const char* picture) {
    const nytest::Image image = nytest::CaptureClient(parent.m_hWnd);
    nytest::SaveIfRequested(image, picture);
    std::vector<CPoint> pixels;
    for (int y = 2; y < r.Height() - 2; ++y) {
      for (int x = 2; x < r.Width() - 2; ++x) {
        if (image.At(r.left + x, r.top + y) == RGB(0, 0, 0)) pixels.emplace_back(x, y);
      }
    }
    return pixels;
  };
  // Up, in a 16 by 22 button: the outline's left edge at x 4 and its top
  // edge at y 5. Out: all of it one pixel down and right.
  const std::vector<CPoint> up = glyph("slider_edit_up");
  EXPECT_TRUE(std::count(up.begin(), up.end(), CPoint(4, 5)) &&
              std::count(up.begin(), up.end(), CPoint(4, 10)));
  Drop();
  std::vector<CPoint> down = glyph("slider_edit_pressed");
  for (CPoint& p : down) p.Offset(-1, -1);
  EXPECT_EQ(down, up);
  Drag(edit.GetSliderCtrl(), 0, WM_LBUTTONUP);
  EXPECT_EQ(glyph("slider_edit_released"), up);
}

// A thousand drawings of the button, every tenth cycle a drop, drag and
// release, and a hundred controls attached and destroyed leave no GDI object.
TEST_F(SliderEdit, CyclesLeaveTheGdiCountFlat) {
  const long before = NyAfxGetLiveGdiObjectCount();
  for (int i = 0; i < 100; ++i) {
    CNySliderEdit edit;
    Attach(edit);
    for (int j = 0; j < 10; ++j) {
      if (j == 0) {
        Drop();
        Drag(edit.GetSliderCtrl(), i);
        Drag(edit.GetSliderCtrl(), i, WM_LBUTTONUP);
      }
      ::RedrawWindow(Button(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), before);
}
