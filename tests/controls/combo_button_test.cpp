// The combo bitmap button on a real owner-drawn button under a display: the
// pressed area by pixels, callbacks on press and on the repeat timer's
// messages, overlapping areas, the space key, the corner-pixel shape, bad
// input and the toolkit's handle count; the repeat timing as arithmetic.
#include <windows.h>

#include <string>

#include "DoRor.h"
#include "NyControlBitmaps.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"
#include "controls/NyComboRepeat.h"
#include "controls/NyRegionRuns.h"

namespace {

// The pad's pictures (scripts/make-control-bitmaps.py): a grey disc with
// dark arrow areas, black outside the disc; the pressed pictures are a
// yellow or a cyan disc.
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kDark = RGB(64, 64, 64);
constexpr RECT kUp = {36, 8, 60, 32}, kDown = {36, 64, 60, 88}, kLeft = {8, 36, 32, 60};
constexpr RECT kRight = {64, 36, 88, 60}, kCentre = {30, 20, 66, 50};  // the centre overlaps the up area
constexpr POINT kOutsideAreas = {20, 20};                              // on the disc, in no area
constexpr int kButtonId = 500, kSize = 96;
constexpr UINT kTimer = ny::controls::kRepeatTimerId;

// One letter per callback call, in order.
std::string g_calls;
void Up() { g_calls += 'U'; }
void Down() { g_calls += 'D'; }
void Left() { g_calls += 'L'; }
void Right() { g_calls += 'R'; }
void Centre() { g_calls += 'C'; }

class ComboButton : public CNyComboBitmapButton {
 public:
  using CNyComboBitmapButton::CreateRgnFromBmp;
};

// Counts the clicks its button reports.
class ParentWnd : public CWnd {
 public:
  int clicks = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) ++clicks;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// Every pixel inside `changed` has `colour` in `after`, every other pixel
// is as in `before`.
testing::AssertionResult OnlyChanged(const nytest::Image& before, const nytest::Image& after, RECT changed,
                                     COLORREF colour) {
  if (before.Empty() || before.width != after.width || before.height != after.height)
    return testing::AssertionFailure() << "captures differ in size or are empty";
  for (int y = 0; y < after.height; ++y) {
    for (int x = 0; x < after.width; ++x) {
      const POINT p = {x, y};
      const COLORREF want = ::PtInRect(&changed, p) ? colour : before.At(x, y);
      if (after.At(x, y) != want) {
        return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                           << after.At(x, y) << ", expected " << want;
      }
    }
  }
  return testing::AssertionSuccess();
}

class ComboButtonTest : public testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "combo", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40,
                                40, 240, 200, nullptr, nullptr));
    ASSERT_TRUE(Make(button));
  }

  bool Make(ComboButton& b, UINT idShape = IDB_COMBO_SHAPE) {
    return b.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 10 + kSize, 10 + kSize), &parent,
                    kButtonId) &&
           b.LoadBitmaps(IDB_COMBO_NORMAL, IDB_COMBO_PRESSED, idShape, 0);
  }

  static void MoveTo(CWnd& b, POINT p) { b.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)); }
  static void Press(CWnd& b, POINT p) {
    MoveTo(b, p);
    b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
  static void Release(CWnd& b) { b.SendMessage(WM_LBUTTONUP, 0, 0); }
  static void Click(CWnd& b, POINT p) {
    Press(b, p);
    Release(b);
  }
  void MoveTo(POINT p) { MoveTo(button, p); }
  void Press(POINT p) { Press(button, p); }
  void Release() { Release(button); }
  static POINT Inside(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  // The button's pixels as the parent shows them.
  nytest::Image Shot() { return ShotOf(button); }
  nytest::Image ShotOf(CWnd& b) {
    CRect r;
    b.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return nytest::CaptureClient(parent.m_hWnd).Crop(r);
  }

  nytest::Watchdog dog{60};
  ParentWnd parent;
  ComboButton button;
};

}  // namespace

TEST_F(ComboButtonTest, PressedAreaIsDrawnOnlyWhereItsMaskIsBlack) {
  ASSERT_TRUE(button.AddVirtualButton(&Up, IDB_COMBO_UP));
  ASSERT_TRUE(button.AddVirtualButton(&Down, IDB_COMBO_DOWN, 0, 0, IDB_COMBO_PRESSED_OTHER));
  ASSERT_TRUE(button.AddVirtualButton(&Left, IDB_COMBO_LEFT, 0, IDB_COMBO_CENTRE));  // pressed look elsewhere
  const nytest::Image normal = Shot();
  ASSERT_EQ(normal.At(48, 48), kGrey);
  ASSERT_EQ(normal.At(48, 20), kDark);
  // Outside the shape the parent shows: neither the black of the picture
  // nor the button face that an unclipped erase leaves under Wine.
  ASSERT_EQ(normal.At(1, 1), nytest::CaptureClient(parent.m_hWnd).At(5, 5));

  Press(Inside(kUp));
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kUp, kYellow));
  // Repainted whole while pressed (erased first): the same picture.
  button.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kUp, kYellow));
  nytest::SaveIfRequested(Shot(), "combo_button_up_pressed");
  Release();
  EXPECT_EQ(Shot(), normal);

  Press(Inside(kDown));  // its own pressed image
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kDown, kCyan));
  Release();
  Press(Inside(kLeft));  // its own pressed mask
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kCentre, kYellow));
  Release();
  EXPECT_EQ(g_calls, "UDL");
  EXPECT_EQ(parent.clicks, 3);

  // Outside every area: nothing called, nothing drawn, still a click.
  Press(kOutsideAreas);
  EXPECT_EQ(Shot(), normal);
  EXPECT_EQ(button.GetState() & BST_PUSHED, static_cast<UINT>(BST_PUSHED));
  Release();
  EXPECT_EQ(g_calls, "UDL");
  EXPECT_EQ(parent.clicks, 4);
  EXPECT_EQ(Shot(), normal);
}

TEST_F(ComboButtonTest, HeldAreaRepeatsOnItsTimerUntilReleased) {
  ASSERT_TRUE(button.AddVirtualButton(&Up, IDB_COMBO_UP));
  // The test stops the real timer after each step that must have started
  // it, so that only the timer messages it sends itself arrive.
  Press(Inside(kUp));
  EXPECT_EQ(g_calls, "U");
  EXPECT_TRUE(::KillTimer(button.m_hWnd, kTimer)) << "a press starts the delay";
  button.SendMessage(WM_TIMER, kTimer, 0);
  EXPECT_EQ(g_calls, "UU");
  EXPECT_TRUE(::KillTimer(button.m_hWnd, kTimer)) << "the first repeat switches to the rate";
  button.PostMessage(WM_TIMER, kTimer, 0);
  EXPECT_TRUE(nytest::PumpUntil([] { return g_calls == "UUU"; }, 5000));
  EXPECT_FALSE(::KillTimer(button.m_hWnd, kTimer)) << "later repeats keep the timer as it is";
  Release();
  EXPECT_EQ(parent.clicks, 1);

  // A timer message that outlives the press calls nothing and starts no
  // timer, with the mouse still over the area.
  button.PostMessage(WM_TIMER, kTimer, 0);
  EXPECT_TRUE(nytest::PumpUntil(
      [&] { return !::PeekMessageA(nullptr, button.m_hWnd, WM_TIMER, WM_TIMER, PM_NOREMOVE); }, 5000));
  button.SendMessage(WM_TIMER, kTimer, 0);
  EXPECT_EQ(g_calls, "UUU");
  EXPECT_FALSE(::KillTimer(button.m_hWnd, kTimer));

  // Another window taking the capture ends the press (no button-up comes):
  // the next tick stops the timer instead of calling.
  Press(Inside(kUp));
  parent.SetCapture();
  button.SendMessage(WM_TIMER, kTimer, 0);
  EXPECT_FALSE(::KillTimer(button.m_hWnd, kTimer));
  ::ReleaseCapture();
  EXPECT_EQ(g_calls, "UUUU");
  g_calls = "UUU";

  // Release stops the timer; the next press starts with the delay again.
  Press(Inside(kUp));
  Release();
  EXPECT_FALSE(::KillTimer(button.m_hWnd, kTimer));
  MoveTo(Inside(kUp));
  EXPECT_EQ(g_calls, "UUUU");
  Press(Inside(kUp));
  button.SendMessage(WM_TIMER, kTimer, 0);
  EXPECT_TRUE(::KillTimer(button.m_hWnd, kTimer)) << "a new press has a first repeat of its own";
  Release();
  EXPECT_EQ(g_calls, "UUUUUU");
}

TEST_F(ComboButtonTest, OverlappingAreasGoToTheFirstAdded) {
  ASSERT_TRUE(button.AddVirtualButton(&Up, IDB_COMBO_UP));
  ASSERT_TRUE(button.AddVirtualButton(&Centre, IDB_COMBO_CENTRE));
  const nytest::Image normal = Shot();
  const POINT both = {48, 25};
  Press(both);
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kUp, kYellow));
  Release();
  Press({48, 40});  // the centre alone
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kCentre, kYellow));
  Release();
  EXPECT_EQ(g_calls, "UC");

  ComboButton other;
  ASSERT_TRUE(Make(other));
  ASSERT_TRUE(other.AddVirtualButton(&Centre, IDB_COMBO_CENTRE));
  ASSERT_TRUE(other.AddVirtualButton(&Up, IDB_COMBO_UP));
  Click(other, both);
  EXPECT_EQ(g_calls, "UCC");
}

TEST_F(ComboButtonTest, SpaceKeyPressesTheAreaUnderTheLastMousePosition) {
  ASSERT_TRUE(button.AddVirtualButton(&Right, IDB_COMBO_RIGHT));
  ASSERT_TRUE(button.AddVirtualButton(&Left, IDB_COMBO_LEFT));
  const nytest::Image normal = Shot();
  MoveTo(Inside(kRight));
  button.SendMessage(WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_EQ(g_calls, "R");
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kRight, kYellow));
  // Each key repeat is a new press with the delay again.
  ::KillTimer(button.m_hWnd, kTimer);
  button.SendMessage(WM_KEYDOWN, VK_SPACE, 1 | (1 << 30));
  EXPECT_EQ(g_calls, "RR");
  EXPECT_TRUE(::KillTimer(button.m_hWnd, kTimer));
  button.SendMessage(WM_TIMER, kTimer, 0);
  EXPECT_EQ(g_calls, "RRR");
  // Other keys do nothing, not even end the press.
  button.SendMessage(WM_KEYDOWN, VK_RETURN, 1);
  button.SendMessage(WM_KEYUP, 'A', 0xC0000001);
  EXPECT_EQ(button.GetState() & BST_PUSHED, static_cast<UINT>(BST_PUSHED));
  button.SendMessage(WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_EQ(button.GetState() & BST_PUSHED, 0u);
  EXPECT_EQ(parent.clicks, 1);
  EXPECT_EQ(Shot(), normal);
  EXPECT_FALSE(::KillTimer(button.m_hWnd, kTimer));

  // Without a move since (the mouse outside the button sends none), the
  // space key presses where the mouse was seen last.
  MoveTo(Inside(kLeft));
  button.SendMessage(WM_KEYDOWN, VK_SPACE, 1);
  button.SendMessage(WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_EQ(g_calls, "RRRL");
}

TEST_F(ComboButtonTest, BottomLeftPixelIsTheTransparentColour) {
  // The red-cornered shape: a blue disc on red, so red is outside.
  ComboButton red;
  ASSERT_TRUE(Make(red, IDB_COMBO_SHAPE_RED));
  CRgn shape;
  ASSERT_TRUE(shape.CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(red.GetWindowRgn(shape), ERROR);
  EXPECT_TRUE(shape.PtInRegion(48, 48));
  EXPECT_FALSE(shape.PtInRegion(1, 1));
  EXPECT_FALSE(shape.PtInRegion(1, kSize - 1));
  CRgn white;
  ASSERT_TRUE(white.CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(button.GetWindowRgn(white), ERROR);
  EXPECT_TRUE(shape.EqualRgn(&white));

  // The same rule for an area: the disc is hit, the red ground is not.
  ASSERT_TRUE(red.AddVirtualButton(&Centre, IDB_COMBO_SHAPE_RED, 0, IDB_COMBO_SHAPE));
  for (const POINT p : {POINT{2, 2}, POINT{48, 48}}) {
    Click(red, p);
  }
  EXPECT_EQ(g_calls, "C");
}

TEST_F(ComboButtonTest, BadInputFailsQuietly) {
  ComboButton shapeless;
  EXPECT_FALSE(Make(shapeless, 9999));
  // An area that cannot be loaded is never hit, and covers nothing for the
  // areas after it; a null callback is skipped, but its area looks pressed.
  ASSERT_TRUE(button.AddVirtualButton(&Centre, 9999));
  ASSERT_TRUE(button.AddVirtualButton(nullptr, IDB_COMBO_UP));
  const nytest::Image normal = Shot();
  Press(Inside(kUp));
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kUp, kYellow));
  // Repainted whole while pressed (erased first): the same picture.
  button.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(OnlyChanged(normal, Shot(), kUp, kYellow));
  button.SendMessage(WM_TIMER, kTimer, 0);
  Release();
  EXPECT_EQ(g_calls, "");
  EXPECT_EQ(parent.clicks, 1);

  // A pressed image or mask that cannot be loaded: the callback still runs,
  // the button keeps its picture.
  ComboButton missing;
  ASSERT_TRUE(Make(missing));
  button.ShowWindow(SW_HIDE);  // the new button lies under it
  ASSERT_TRUE(missing.AddVirtualButton(&Up, IDB_COMBO_UP, 0, 0, 9999));
  ASSERT_TRUE(missing.AddVirtualButton(&Down, IDB_COMBO_DOWN, 0, 9999));
  for (const POINT p : {Inside(kUp), Inside(kDown)}) {
    Press(missing, p);
    EXPECT_EQ(ShotOf(missing), normal);
    Release(missing);
  }
  EXPECT_EQ(g_calls, "UD");
  // Pictures that cannot be loaded: the shape is taken, the button draws
  // nothing of its own.
  EXPECT_FALSE(missing.LoadBitmaps(9998, 9999, IDB_COMBO_SHAPE, 0));
  missing.Invalidate();
  missing.UpdateWindow();

  EXPECT_EQ(button.CreateRgnFromBmp(nullptr, ny::controls::kCornerPixel), nullptr);
  // The platform gives no bitmap without rows of its own; whatever it
  // answers, a bitmap made with none yields an empty region.
  CBitmap flat;
  ASSERT_TRUE(flat.CreateBitmap(8, 0, 1, 32, nullptr));
  CRgn none;
  ASSERT_TRUE(none.Attach(button.CreateRgnFromBmp(flat, ny::controls::kCornerPixel)));
  RECT box;
  EXPECT_EQ(none.GetRgnBox(&box), NULLREGION);
}

TEST_F(ComboButtonTest, ThousandCyclesKeepTheGdiCountFlat) {
  button.ShowWindow(SW_HIDE);  // each new button lies under it
  const long live = NyAfxGetLiveGdiObjectCount();
  // A hundred buttons, each loaded twice (the second replaces the shape
  // and pictures of the first), given areas (one with its own pressed mask
  // and image), then pressed, repeated, drawn and released ten times.
  // Reshaping a window costs Wine milliseconds; presses are cheap.
  for (int i = 0; i < 100; ++i) {
    ComboButton temporary;
    ASSERT_TRUE(Make(temporary));
    ASSERT_TRUE(temporary.AddVirtualButton(&Up, IDB_COMBO_UP));
    ASSERT_TRUE(
        temporary.AddVirtualButton(&Down, IDB_COMBO_DOWN, 0, IDB_COMBO_CENTRE, IDB_COMBO_PRESSED_OTHER));
    ASSERT_TRUE(temporary.LoadBitmaps(IDB_COMBO_NORMAL, IDB_COMBO_PRESSED, IDB_COMBO_SHAPE_RED, 0));
    for (int j = 0; j < 10; ++j) {
      const POINT p = Inside(j % 2 ? kUp : kDown);
      Press(temporary, p);
      temporary.SendMessage(WM_TIMER, kTimer, 0);
      Release(temporary);
    }
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), live);
  EXPECT_EQ(g_calls.size(), 2000u);
  EXPECT_EQ(parent.clicks, 1000);
}

TEST(ComboButtonRepeat, IntervalsFollowTheKeyboardSettings) {
  using ny::controls::RepeatDelayMs;
  using ny::controls::RepeatRateMs;
  const struct {
    int setting;
    unsigned delay, rate;
  } cases[] = {
      {0, 250, 400},  {1, 500, 389},  {3, 1000, 365}, {15, 1000, 223},
      {30, 1000, 45}, {31, 1000, 33}, {-1, 250, 400},  // outside the documented ranges: the nearer end
      {99, 1000, 33},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RepeatDelayMs(c.setting), c.delay) << c.setting;
    EXPECT_EQ(RepeatRateMs(c.setting), c.rate) << c.setting;
  }
}
