// The shaped bitmap button on real windows under a display: the picture of
// each state and of hovering, by pixels; the window cut to the mask, for
// drawing and for the mouse; the text and its colours; bad pictures and
// masks; and no handle left behind by reloading.
#include <windows.h>

#include "DoRor.h"
#include "NyControlBitmaps.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"
#include "base/NyScopedGdi.h"

namespace {

// The colours of examples/bitmaps/button_*.bmp (64 x 32, solid).
constexpr COLORREF kNormal = RGB(0, 0, 200);
constexpr COLORREF kPressed = RGB(200, 0, 0);
constexpr COLORREF kFocus = RGB(0, 160, 0);
constexpr COLORREF kDisabled = RGB(128, 128, 128);
constexpr COLORREF kOverNormal = RGB(0, 200, 200);
constexpr COLORREF kOverPressed = RGB(200, 0, 200);
constexpr COLORREF kOverFocus = RGB(160, 160, 0);
constexpr COLORREF kOverDisabled = RGB(64, 64, 64);
constexpr int kWidth = 64, kHeight = 32;
constexpr UINT kMissing = 999;  // no bitmap resource of that id
constexpr int kButtonId = 400;

// The protected steps, for the cases a window cannot show.
class ProbeButton : public CNyBitmapButton {
 public:
  using CNyBitmapButton::InitImageList;
  int draws = 0;

  void DrawItem(LPDRAWITEMSTRUCT item) override {
    ++draws;
    CNyBitmapButton::DrawItem(item);
  }
  BOOL LoadStates(UINT mask = IDB_BUTTON_MASK) {
    return LoadBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUS, IDB_BUTTON_DISABLED, mask);
  }
  BOOL LoadHovers() {
    return LoadMouseOverBitmaps(IDB_BUTTON_OVER_NORMAL, IDB_BUTTON_OVER_PRESSED, IDB_BUTTON_OVER_FOCUS,
                                IDB_BUTTON_OVER_DISABLED);
  }
};

class BitmapButton : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "bitmap button", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                200, 120, nullptr, nullptr));
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 120, 80), &parent, kButtonId));
    // The pointer rests away from the windows: the platform tracks the real
    // pointer, and the tests move the button's idea of it by messages.
    ::SetCursorPos(1200, 1000);
    // The plain window class paints COLOR_WINDOW, away from the button.
    background = Capture().At(5, 5);
    ASSERT_NE(background, CLR_INVALID);
  }

  nytest::Image Capture() { return nytest::CaptureClient(parent.m_hWnd); }
  // The colour at (x, y) of the button's window (0, 0: its top-left corner).
  COLORREF PixelOf(int x, int y) { return Capture().At(20 + x, 20 + y); }
  // The button's window rectangle in the parent's client area.
  CRect ButtonRect() {
    CRect r;
    button.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
  }
  // The window the mouse would reach at (x, y) of the button's window.
  HWND WindowAt(int x, int y) {
    POINT p = {x, y};
    ::ClientToScreen(button.m_hWnd, &p);
    return ::WindowFromPoint(p);
  }
  void Hover(bool inside) {
    if (inside) {
      button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(kWidth / 2, kHeight / 2));
    } else {
      button.SendMessage(WM_MOUSELEAVE);
    }
  }

  nytest::Watchdog dog{60};
  CWnd parent;
  ProbeButton button;
  COLORREF background = CLR_INVALID;
};

// Draws the button's normal item (or `state`) into a 64 x 32 picture filled
// with `ground`, as a parent's WM_DRAWITEM would, and answers the picture.
nytest::Image DrawInto(ProbeButton& button, UINT state, COLORREF ground) {
  nytest::detail::Canvas canvas(kWidth, kHeight);
  RECT all = {0, 0, kWidth, kHeight};
  ny::ScopedGdiObject<HBRUSH> brush(::CreateSolidBrush(ground));
  ::FillRect(canvas.Dc(), &all, brush.Get());
  DRAWITEMSTRUCT item = {};
  item.CtlType = ODT_BUTTON;
  item.CtlID = kButtonId;
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = state;
  item.hwndItem = button.m_hWnd;
  item.hDC = canvas.Dc();
  item.rcItem = all;
  button.DrawItem(&item);
  return canvas.ToImage();
}

}  // namespace

TEST_F(BitmapButton, ShowsItsStatePictureInTheShapeOfTheMask) {
  ASSERT_TRUE(button.LoadStates());
  const CRect r = ButtonRect();
  EXPECT_EQ(r.Size(), CSize(kWidth, kHeight));  // sized to the normal picture

  // The corners lie outside the ellipse: the parent shows there, and the
  // mouse reaches the parent, not the button.
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kNormal);
  EXPECT_EQ(PixelOf(0, 0), background);
  EXPECT_EQ(WindowAt(kWidth / 2, kHeight / 2), button.m_hWnd);
  EXPECT_EQ(WindowAt(1, 1), parent.m_hWnd);
  ny::ScopedRegion shape(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(button.m_hWnd, shape.Get()), COMPLEXREGION);
  EXPECT_TRUE(::PtInRegion(shape.Get(), kWidth / 2, kHeight - 1));  // the bottom row is scanned too
  EXPECT_FALSE(::PtInRegion(shape.Get(), 0, 0));
  EXPECT_FALSE(::PtInRegion(shape.Get(), kWidth - 1, kHeight - 1));
  RECT box;
  ::GetRgnBox(shape.Get(), &box);
  EXPECT_EQ(CRect(box), CRect(0, 0, kWidth, kHeight));
  nytest::SaveIfRequested(Capture(), "bitmap_button_normal");

  // Pressed wins over focused, focused over normal; disabling drops the focus.
  button.SetFocus();
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kFocus);
  button.SetState(TRUE);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kPressed);
  button.SetState(FALSE);
  button.EnableWindow(FALSE);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kDisabled);

  // The image list's mask keeps the ground outside the shape, too, when the
  // button is drawn somewhere without its window region.
  const nytest::Image drawn = DrawInto(button, ODS_DISABLED, RGB(1, 2, 3));
  EXPECT_EQ(drawn.At(kWidth / 2, kHeight / 2), kDisabled);
  EXPECT_EQ(drawn.At(0, 0), RGB(1, 2, 3));
}

TEST_F(BitmapButton, HoverPicturesFollowTheMouseInAndOut) {
  ASSERT_TRUE(button.LoadStates());
  // Without hover pictures, entering and leaving repaint the same picture.
  int draws = button.draws;
  Hover(true);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kNormal);
  EXPECT_GT(button.draws, draws);
  draws = button.draws;
  Hover(false);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kNormal);
  EXPECT_GT(button.draws, draws);

  ASSERT_TRUE(button.LoadHovers());
  auto inAndOut = [&](COLORREF out, COLORREF in) {
    EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), out);
    Hover(true);
    EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), in);
    Hover(false);
    EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), out);
  };
  inAndOut(kNormal, kOverNormal);
  button.SetFocus();
  inAndOut(kFocus, kOverFocus);
  button.SetState(TRUE);
  inAndOut(kPressed, kOverPressed);
  button.SetState(FALSE);
  button.EnableWindow(FALSE);
  inAndOut(kDisabled, kOverDisabled);
}

// The platform's own pointer: moving onto the button enters, and the leave
// notification asked for from TrackMouseEvent ends the hover.
TEST_F(BitmapButton, RealPointerEntersAndLeaves) {
  ASSERT_TRUE(button.LoadStates());
  ASSERT_TRUE(button.LoadHovers());
  POINT centre = {kWidth / 2, kHeight / 2};
  ::ClientToScreen(button.m_hWnd, &centre);
  ASSERT_TRUE(::SetCursorPos(centre.x, centre.y));
  EXPECT_TRUE(nytest::PumpUntil([&] { return PixelOf(kWidth / 2, kHeight / 2) == kOverNormal; }, 10000));
  ASSERT_TRUE(::SetCursorPos(1200, 1000));
  EXPECT_TRUE(nytest::PumpUntil([&] { return PixelOf(kWidth / 2, kHeight / 2) == kNormal; }, 10000));
}

TEST_F(BitmapButton, TextIsCentredInTheColourOfTheState) {
  ASSERT_TRUE(button.LoadStates());
  button.SetWindowText("WWW");
  const CRect r = ButtonRect();
  auto count = [&](COLORREF colour) {
    button.Invalidate();
    return nytest::CountColour(Capture(), r, colour);
  };
  EXPECT_FALSE(button.IsDrawText());
  EXPECT_EQ(count(RGB(0, 0, 0)), 0);
  // Without colours of its own the text takes the device context's.
  button.SetDrawText(true);
  EXPECT_TRUE(button.IsDrawText());
  EXPECT_GT(count(RGB(0, 0, 0)), 10);
  nytest::SaveIfRequested(Capture(), "bitmap_button_text");

  // Setting the colours switches the text on again.
  constexpr COLORREF kText[] = {RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 128, 0), RGB(255, 0, 128)};
  button.SetDrawText(false);
  button.SetTextColors(kText[0], kText[1], kText[2], kText[3]);
  EXPECT_TRUE(button.IsDrawText());
  EXPECT_GT(count(kText[0]), 10);
  EXPECT_EQ(count(RGB(0, 0, 0)), 0);
  button.SetFocus();
  EXPECT_GT(count(kText[2]), 10);
  button.SetState(TRUE);
  EXPECT_GT(count(kText[1]), 10);
  EXPECT_EQ(count(kText[2]), 0);
  button.SetState(FALSE);
  button.EnableWindow(FALSE);
  EXPECT_GT(count(kText[3]), 10);
  // The text sits in the middle: none of it in the left or right quarter.
  const nytest::Image image = Capture();
  EXPECT_EQ(nytest::CountColour(image, CRect(r.left, r.top, r.left + kWidth / 4, r.bottom), kText[3]), 0);
  EXPECT_EQ(nytest::CountColour(image, CRect(r.right - kWidth / 4, r.top, r.right, r.bottom), kText[3]), 0);
  button.SetDrawText(false);
  EXPECT_EQ(count(kText[3]), 0);
}

TEST_F(BitmapButton, MasksThatCutEverythingOrTooLittle) {
  // All white: an empty region, so nothing shows and nothing is hit.
  ASSERT_TRUE(button.LoadStates(IDB_BUTTON_MASK_WHITE));
  ny::ScopedRegion shape(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(button.m_hWnd, shape.Get()), NULLREGION);
  EXPECT_TRUE(nytest::IsSolid(Capture(), ButtonRect(), background));
  EXPECT_EQ(WindowAt(kWidth / 2, kHeight / 2), parent.m_hWnd);

  // A mask smaller than the picture shapes the window from its top-left
  // corner; the rest of the picture is cut away.
  ASSERT_TRUE(button.LoadStates(IDB_BUTTON_MASK_SMALL));
  ASSERT_EQ(::GetWindowRgn(button.m_hWnd, shape.Get()), COMPLEXREGION);
  RECT box;
  ::GetRgnBox(shape.Get(), &box);
  EXPECT_EQ(CRect(box), CRect(0, 0, kWidth / 2, kHeight / 2));
  EXPECT_EQ(PixelOf(kWidth / 4, kHeight / 4), kNormal);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), background);
  EXPECT_EQ(WindowAt(kWidth / 4, kHeight / 4), button.m_hWnd);
  EXPECT_EQ(WindowAt(kWidth / 2, kHeight / 2), parent.m_hWnd);
}

TEST_F(BitmapButton, MissingPicturesFailAndKeepWhatLoaded) {
  constexpr COLORREF kGround = RGB(1, 2, 3);
  // No normal picture: nothing is drawn at all.
  EXPECT_FALSE(button.LoadBitmaps(kMissing, IDB_BUTTON_PRESSED, 0, 0, IDB_BUTTON_MASK));
  EXPECT_EQ(button.m_bitmap.GetSafeHandle(), nullptr);
  EXPECT_NE(button.m_bitmapSel.GetSafeHandle(), nullptr);
  EXPECT_FALSE(button.InitImageList());
  EXPECT_TRUE(
      nytest::IsSolid(DrawInto(button, ODS_SELECTED, kGround), CRect(0, 0, kWidth, kHeight), kGround));

  // States without a picture show the normal one, at their own index.
  ASSERT_TRUE(button.LoadBitmaps(IDB_BUTTON_NORMAL, 0, IDB_BUTTON_FOCUS, 0, IDB_BUTTON_MASK));
  EXPECT_EQ(DrawInto(button, ODS_SELECTED, kGround).At(kWidth / 2, kHeight / 2), kNormal);
  EXPECT_EQ(DrawInto(button, ODS_FOCUS, kGround).At(kWidth / 2, kHeight / 2), kFocus);
  EXPECT_EQ(DrawInto(button, ODS_DISABLED, kGround).At(kWidth / 2, kHeight / 2), kNormal);

  // Pictures of another width keep every state at its own index: a
  // narrower one (the small mask, 32 wide) gives way to the normal picture,
  // a wider one (128: orange, then black) shows its first 64 columns.
  ASSERT_TRUE(button.LoadBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_MASK_SMALL, IDB_BUTTON_WIDE,
                                 IDB_BUTTON_DISABLED, IDB_BUTTON_MASK));
  EXPECT_EQ(DrawInto(button, ODS_SELECTED, kGround).At(kWidth / 2, kHeight / 2), kNormal);
  EXPECT_EQ(DrawInto(button, ODS_FOCUS, kGround).At(kWidth - 4, kHeight / 2), RGB(255, 128, 0));
  EXPECT_EQ(DrawInto(button, ODS_DISABLED, kGround).At(kWidth / 2, kHeight / 2), kDisabled);

  // A missing mask fails after the pictures loaded; the window keeps its
  // earlier shape, which cuts the pictures, now without a mask.
  EXPECT_FALSE(button.LoadBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, 0, 0, kMissing));
  const nytest::Image cut = DrawInto(button, ODS_SELECTED, kGround);
  EXPECT_EQ(cut.At(kWidth / 2, kHeight / 2), kPressed);
  EXPECT_EQ(cut.At(0, 0), kGround);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kNormal);
  EXPECT_EQ(PixelOf(0, 0), background);

  // A failed hover load keeps the pictures before the failure; the earlier
  // set's flag stays, and the states without a hover picture show their own.
  ASSERT_TRUE(button.LoadStates());
  ASSERT_TRUE(button.LoadHovers());
  EXPECT_FALSE(button.LoadMouseOverBitmaps(IDB_BUTTON_OVER_NORMAL, kMissing, IDB_BUTTON_OVER_FOCUS, 0));
  Hover(true);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kOverNormal);
  button.SetState(TRUE);
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kPressed);
  Hover(false);

  // There is no bitmap without rows: Wine 8 loads this resource (64 x 0)
  // as a 1 x 1 monochrome bitmap, as CreateBitmap is documented to make
  // one. The button shrinks to that pixel; the next load brings it back.
  if (button.LoadBitmaps(IDB_BUTTON_FLAT, 0, 0, 0, IDB_BUTTON_FLAT)) {
    EXPECT_EQ(ButtonRect().Size(), CSize(1, 1));
  }
  Capture();
  ASSERT_TRUE(button.LoadStates());
  EXPECT_EQ(ButtonRect().Size(), CSize(kWidth, kHeight));
  EXPECT_EQ(PixelOf(kWidth / 2, kHeight / 2), kPressed);
}

TEST_F(BitmapButton, ReloadingLeavesNoHandleBehind) {
  const long before = NyAfxGetLiveGdiObjectCount();
  {
    ProbeButton second;
    ASSERT_TRUE(
        second.Create("Go", WS_VISIBLE | BS_OWNERDRAW, CRect(100, 20, 180, 80), &parent, kButtonId + 1));
    second.SetTextColors(RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 128, 0), RGB(255, 0, 128));
    const UINT masks[] = {IDB_BUTTON_MASK, IDB_BUTTON_MASK_WHITE, IDB_BUTTON_MASK_SMALL};
    ASSERT_TRUE(second.LoadStates());
    ASSERT_TRUE(second.LoadHovers());
    second.UpdateWindow();
    const long loaded = NyAfxGetLiveGdiObjectCount();
    for (int i = 0; i < 1000; ++i) {
      ASSERT_TRUE(second.LoadStates(masks[i % 3]));
      ASSERT_TRUE(second.LoadHovers());
      second.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
      second.RedrawWindow();
      second.SendMessage(WM_MOUSELEAVE);
      second.RedrawWindow();
    }
    EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), loaded);
    // A window whose region is empty may be left unpainted.
    EXPECT_GE(second.draws, 1000);
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), before);
}
