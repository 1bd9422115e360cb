// The colour button on a real window, by pixels: its swatch, the caption in
// the inverse colour, the raised and sunken frames, the hatch when disabled,
// colours the platform does not take as RGB, and no GDI object left behind.
#include <windows.h>

#include <algorithm>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"

namespace {

// ---- Colour button -----------------------------------------------------------------------

constexpr int kButtonId = 500;
constexpr int kWidth = 120, kHeight = 50;
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

class ColourButton : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "colour button", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                200, 100, nullptr, nullptr));
    ASSERT_TRUE(button.Create("Ab", WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 20 + kWidth, 20 + kHeight),
                              &parent, kButtonId));
  }

  nytest::Image Capture() { return nytest::CaptureClient(button.m_hWnd); }

  nytest::Watchdog dog{60};
  CWnd parent;
  CNyColorButton button{RGB(0, 128, 255)};
};

// The smallest rectangle holding every pixel of `colour` inside `within`
// (empty when none).
RECT BoundsOf(const nytest::Image& image, const RECT& within, COLORREF colour) {
  RECT r = {within.right, within.bottom, within.left, within.top};
  for (int y = within.top; y < within.bottom; ++y) {
    for (int x = within.left; x < within.right; ++x) {
      if (image.At(x, y) != colour) continue;
      r.left = std::min<LONG>(r.left, x);
      r.top = std::min<LONG>(r.top, y);
      r.right = std::max<LONG>(r.right, x + 1);
      r.bottom = std::max<LONG>(r.bottom, y + 1);
    }
  }
  return r;
}

// Whether the one-pixel frame has `topLeft` on the top and left edges and
// `bottomRight` on the bottom and right ones, corners included: the top-right
// corner belongs to the top edge, the bottom-left one to the bottom edge.
testing::AssertionResult Framed(const nytest::Image& image, COLORREF topLeft, COLORREF bottomRight) {
  const int w = image.width, h = image.height;
  const RECT top = {0, 0, w, 1}, left = {0, 0, 1, h - 1};
  const RECT bottom = {0, h - 1, w, h}, right = {w - 1, 1, w, h};
  if (!nytest::IsSolid(image, top, topLeft)) return testing::AssertionFailure() << "top edge";
  if (!nytest::IsSolid(image, left, topLeft)) return testing::AssertionFailure() << "left edge";
  if (!nytest::IsSolid(image, bottom, bottomRight)) return testing::AssertionFailure() << "bottom edge";
  if (!nytest::IsSolid(image, right, bottomRight)) return testing::AssertionFailure() << "right edge";
  return testing::AssertionSuccess();
}

TEST_F(ColourButton, SwatchWithTheCaptionCentredInTheInverseColour) {
  EXPECT_EQ(CNyColorButton().GetColor(), RGB(192, 192, 192));  // light grey unless told

  for (const COLORREF colour : {RGB(0, 128, 255), kBlack, kWhite, RGB(192, 192, 192), RGB(200, 30, 90)}) {
    SCOPED_TRACE(testing::Message() << std::hex << colour);
    button.SetColor(colour);
    EXPECT_EQ(button.GetColor(), colour);
    const nytest::Image image = Capture();
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    // Inside the frame: the swatch around a caption drawn in the inverse
    // colour on the swatch colour, centred on one line.
    EXPECT_TRUE(nytest::IsSolid(image, {1, 1, kWidth - 1, 8}, colour));
    EXPECT_TRUE(nytest::IsSolid(image, {1, 1, 20, kHeight - 1}, colour));
    // Inside the frame only: the frame is black and white whatever the colour.
    const RECT text = BoundsOf(image, {1, 1, kWidth - 1, kHeight - 1}, colour ^ 0xFFFFFF);
    ASSERT_LT(text.left, text.right) << "no caption";
    EXPECT_NEAR(text.left + text.right, kWidth, 3);
    EXPECT_NEAR(text.top + text.bottom, kHeight, 4);
  }
  nytest::SaveIfRequested(Capture(), "colour_button");
}

TEST_F(ColourButton, RaisedFrameSunkenWhilePressed) {
  EXPECT_TRUE(Framed(Capture(), kWhite, kBlack));
  button.SetState(TRUE);  // ODS_SELECTED, as while the mouse holds it
  const nytest::Image pressed = Capture();
  EXPECT_TRUE(Framed(pressed, kBlack, kWhite));
  EXPECT_EQ(pressed.At(1, 1), RGB(0, 128, 255));  // the swatch stays inside the frame
  nytest::SaveIfRequested(pressed, "colour_button_pressed");
  button.SetState(FALSE);
  EXPECT_TRUE(Framed(Capture(), kWhite, kBlack));

  // Taking the focus redraws the button, still raised.
  button.SetFocus();
  EXPECT_TRUE(Framed(Capture(), kWhite, kBlack));
}

TEST_F(ColourButton, DisabledShowsACrossHatchInItsColour) {
  button.SetColor(kBlack);
  button.EnableWindow(FALSE);
  const nytest::Image image = Capture();
  EXPECT_TRUE(Framed(image, kWhite, kBlack));
  // An 8 x 8 block away from the caption holds both the hatch lines and
  // the gaps between them, which show the DC's own background colour.
  const RECT block = {8, 4, 16, 12};
  const int lines = nytest::CountColour(image, block, kBlack);
  EXPECT_GT(lines, 0);
  EXPECT_LT(lines, 64);
  // The caption is still there, white on black.
  EXPECT_GT(nytest::CountColour(image, {30, 10, kWidth - 30, kHeight - 10}, kWhite), 0);
  nytest::SaveIfRequested(image, "colour_button_disabled");
}

TEST_F(ColourButton, SetColorBeforeTheWindowOnlyStoresIt) {
  CNyColorButton early;
  early.SetColor(RGB(10, 200, 10));  // no window: nothing to redraw
  EXPECT_EQ(early.GetColor(), RGB(10, 200, 10));
  ASSERT_TRUE(early.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(150, 20, 190, 60), &parent, kButtonId + 1));
  EXPECT_TRUE(nytest::IsSolid(nytest::CaptureClient(early.m_hWnd), {1, 1, 39, 39}, RGB(10, 200, 10)));
}

// Colours whose top byte is set are palette references or no colour at all;
// the button hands them to GDI as they are. Whatever GDI makes of them, the
// button is framed, nothing is left selected and no object is left behind.
TEST_F(ColourButton, ColoursThatAreNotRgbAreDrawnWithoutLeaking) {
  const long before = NyAfxGetLiveGdiObjectCount();
  for (const COLORREF colour :
       {COLORREF{0x010000FF}, COLORREF{0x020000FF}, COLORREF{0xFF0000FF}, COLORREF{CLR_INVALID}}) {
    SCOPED_TRACE(testing::Message() << std::hex << colour);
    button.SetColor(colour);
    EXPECT_EQ(button.GetColor(), colour);
    for (const BOOL pressed : {TRUE, FALSE}) {
      button.SetState(pressed);
      const nytest::Image image = Capture();
      // Measured under Wine: a palette-relative RGB (0x02 on top) is drawn
      // as that RGB on a true-colour display; palette indexes and the other
      // top bytes come out black, the caption with them.
      if (colour == 0x020000FF) EXPECT_EQ(image.At(3, 3), RGB(255, 0, 0));
      EXPECT_TRUE(pressed ? Framed(image, kBlack, kWhite) : Framed(image, kWhite, kBlack));
    }
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), before);
}

TEST_F(ColourButton, ManyDrawsLeaveTheGdiCountFlat) {
  const nytest::Image first = Capture();  // the first paint may make lasting objects (the font)
  const long before = NyAfxGetLiveGdiObjectCount();
  for (int i = 0; i < 300; ++i) {
    button.SetColor(RGB(i % 256, (i * 7) % 256, 255 - i % 256));
    button.EnableWindow(i % 3 != 0);
    button.SetState(i % 2);
    button.UpdateWindow();
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), before);
  button.EnableWindow(TRUE);
  button.SetState(FALSE);
  button.SetColor(RGB(0, 128, 255));
  EXPECT_EQ(Capture(), first);  // the DC's state was put back each time
}

}  // namespace
