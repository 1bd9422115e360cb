// The colour button on a real window, by pixels: its swatch, the caption in
// the inverse colour, the raised and sunken frames, the hatch when disabled,
// colours the platform does not take as RGB, and no GDI object left behind.
// The colour dialog's custom colours through the user configuration: kept
// from one object to the next across real runs of the platform dialog (OK
// and Cancel), bad saved values, and a user configuration switched off.
#include <windows.h>

#include <colordlg.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <string>

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

// ---- Colour dialog -------------------------------------------------------------------------

constexpr char kSection[] = "NyColorDialog";
constexpr char kFile[] = "ColourTests.ini";
constexpr int kCount = CNyColorDialog::SAVED_CUSTOM_COLOR;
using Colours = std::array<COLORREF, kCount>;

std::string Key(int i) { return "SavedColor" + std::to_string(i); }

Colours Shared() {
  Colours out;
  std::copy_n(CColorDialog::GetSavedCustomColors(), kCount, out.begin());
  return out;
}
void SetShared(const Colours& colours) {
  std::copy(colours.begin(), colours.end(), CColorDialog::GetSavedCustomColors());
}
Colours Filled(COLORREF colour) {
  Colours out;
  out.fill(colour);
  return out;
}

// The user and default configuration in a temporary folder of their own.
class ColourDialog : public testing::Test {
 protected:
  void SetUp() override {
    m_saved = Shared();
    std::filesystem::create_directories(m_dir / "Default");
    std::filesystem::create_directories(m_dir / "User");
    ASSERT_TRUE(NySetApplicationConfigFileNameT(kFile));
    ASSERT_TRUE(NySetUserConfigFileNameT(kFile));
    ASSERT_TRUE(NySetDefaultConfigPathT((m_dir / "Default").c_str()));
    ASSERT_TRUE(NySetUserConfigPathT((m_dir / "User").c_str()));
    NySetUserConfigEnable(true);
  }
  void TearDown() override {
    NySetUserConfigEnable(true);
    SetShared(m_saved);
  }
  // The saved text of custom colour i in the user file alone; "-" when none.
  static std::string SavedText(int i) {
    char text[1024] = "";
    return NyReadUserConfigT(kSection, Key(i).c_str(), text, nullptr, false) ? text : "-";
  }

  nytest::TempFolder m_dir;
  Colours m_saved{};
};

// What the dialog's own hook does once the dialog is up: types `typed` into
// the red, green and blue boxes, optionally presses "Add to custom colours",
// and then `end` (IDOK or IDCANCEL).
struct Plan {
  COLORREF typed = 0;
  int end = IDOK;
  bool add = true;          // press "Add to custom colours"
  bool fullOpen = false;    // seen by the hook: the custom-colour part is open
  COLORREF shownFirst = 0;  // custom colour 0 as the running dialog got it
};
constexpr UINT kAct = WM_APP + 9;

UINT_PTR CALLBACK DriveDialog(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  static Plan* plan = nullptr;
  if (message == WM_INITDIALOG) {
    const auto* cc = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    plan = reinterpret_cast<Plan*>(cc->lCustData);
    plan->shownFirst = cc->lpCustColors[0];
    ::PostMessageA(dialog, kAct, 0, 0);
    return TRUE;
  }
  if (message != kAct || !plan) return FALSE;
  const HWND add = ::GetDlgItem(dialog, COLOR_ADD);
  // The custom-colour part is shown: its "Add" button lies inside the
  // client area and "Define custom colours" is disabled. (The dialog is
  // not visible yet: the posted message comes before the modal loop shows
  // it, so the button's own style is asked rather than IsWindowVisible.)
  RECT client = {}, addRect = {};
  ::GetClientRect(dialog, &client);
  ::GetWindowRect(add, &addRect);
  ::ScreenToClient(dialog, reinterpret_cast<POINT*>(&addRect));
  plan->fullOpen = (::GetWindowLongA(add, GWL_STYLE) & WS_VISIBLE) && addRect.left < client.right &&
                   !::IsWindowEnabled(::GetDlgItem(dialog, COLOR_MIX));
  ::SetDlgItemInt(dialog, COLOR_RED, GetRValue(plan->typed), FALSE);
  ::SetDlgItemInt(dialog, COLOR_GREEN, GetGValue(plan->typed), FALSE);
  ::SetDlgItemInt(dialog, COLOR_BLUE, GetBValue(plan->typed), FALSE);
  if (plan->add) ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(COLOR_ADD, BN_CLICKED), 0);
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(plan->end, BN_CLICKED), 0);
  return TRUE;
}

INT_PTR RunDriven(CNyColorDialog& dialog, Plan& plan) {
  dialog.m_cc.Flags |= CC_ENABLEHOOK;
  dialog.m_cc.lpfnHook = &DriveDialog;
  dialog.m_cc.lCustData = reinterpret_cast<LPARAM>(&plan);
  return dialog.DoModal();
}

TEST_F(ColourDialog, CustomColoursSurviveFromOneDialogToTheNext) {
  nytest::Watchdog dog(60);
  Colours start;
  for (int i = 0; i < kCount; ++i) start[i] = RGB(i, 2 * i, 3 * i);
  start[1] = RGB(255, 0, 0);
  start[2] = kWhite;
  SetShared(start);

  // Nothing saved yet: the custom colours stay, and the first object still
  // saves all sixteen, in decimal.
  {
    CNyColorDialog first;
    EXPECT_EQ(first.m_cc.Flags & CC_FULLOPEN, static_cast<DWORD>(CC_FULLOPEN));
    EXPECT_EQ(first.m_cc.lpCustColors, CColorDialog::GetSavedCustomColors());
    EXPECT_EQ(Shared(), start);
  }
  EXPECT_EQ(SavedText(1), "255");
  EXPECT_EQ(SavedText(2), "16777215");
  for (int i = 0; i < kCount; ++i) EXPECT_EQ(SavedText(i), std::to_string(start[i])) << i;

  // A run confirmed with OK after adding a colour: the platform puts it
  // into the first custom slot, and the next object (as in the next run of
  // the application, the shared array forgotten) gets it back.
  const COLORREF added = RGB(201, 102, 33);
  {
    CNyColorDialog dialog(RGB(5, 6, 7));
    Plan plan;
    plan.typed = added;
    ASSERT_EQ(RunDriven(dialog, plan), IDOK);
    EXPECT_TRUE(plan.fullOpen);
    EXPECT_EQ(plan.shownFirst, start[0]);
    EXPECT_EQ(dialog.GetColor(), added);
  }
  Colours afterOk = start;
  afterOk[0] = added;
  SetShared(Filled(RGB(9, 9, 9)));
  {
    CNyColorDialog next;
    EXPECT_EQ(Shared(), afterOk);
  }

  // A cancelled run saves too, in whatever state the platform left the
  // custom colours: the platform dialog edits the caller's array in place,
  // so a colour added before Cancel is kept.
  Colours afterCancel;
  {
    CNyColorDialog dialog;
    Plan plan;
    plan.typed = RGB(1, 250, 125);
    plan.end = IDCANCEL;
    ASSERT_EQ(RunDriven(dialog, plan), IDCANCEL);
    EXPECT_EQ(plan.shownFirst, added);
    afterCancel = Shared();
  }
  // Each run adds from the first slot on.
  Colours expected = afterOk;
  expected[0] = RGB(1, 250, 125);
  EXPECT_EQ(afterCancel, expected);
  SetShared(Filled(RGB(9, 9, 9)));
  {
    CNyColorDialog last;
    EXPECT_EQ(Shared(), afterCancel);
  }

  // Other flags are the caller's: without CC_FULLOPEN the part is closed.
  CNyColorDialog closed(0, 0);
  Plan plan;
  plan.add = false;
  plan.end = IDCANCEL;
  ASSERT_EQ(RunDriven(closed, plan), IDCANCEL);
  EXPECT_FALSE(plan.fullOpen);
}

TEST_F(ColourDialog, SavedValuesThatAreNoColourKeepTheCustomColour) {
  constexpr COLORREF kKept = RGB(1, 2, 3);
  struct Case {
    const char* text;
    COLORREF expected;
  };
  // Index = custom colour. The configuration's number rule decides what is
  // a number (a leading digit or sign; atoi stops at the first non-digit
  // and does not keep numbers beyond 32 bits); the dialog refuses what is
  // no 24-bit RGB.
  const Case cases[] = {
      {nullptr, kKept},          // 0: missing
      {"", kKept},               // 1: empty
      {"abc", kKept},            // 2: no number
      {"-1", kKept},             // 3: negative
      {"16777216", kKept},       // 4: above white
      {"99999999999", kKept},    // 5: beyond 32 bits
      {"4278190335", kKept},     // 6: 0xFF0000FF written unsigned
      {"12abc", RGB(12, 0, 0)},  // 7: the number before the letters
      {"0x10", kBlack},          // 8: hex is not read: "0"
      {"16777215", kWhite},      // 9
      {"+255", RGB(255, 0, 0)},  // 10
      {"true", kKept},           // 11: the bool words are no numbers here
  };
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    if (cases[i].text) ASSERT_TRUE(NyWriteUserConfigT(kSection, Key(i).c_str(), cases[i].text));
  }
  // The default layer answers where the user file has nothing.
  ASSERT_TRUE(NyWriteDefaultConfigT(kSection, Key(13).c_str(), 4660L));
  ASSERT_TRUE(NyWriteDefaultConfigT(kSection, Key(10).c_str(), 77L));  // the user's value wins

  SetShared(Filled(kKept));
  {
    CNyColorDialog dialog;
    const Colours loaded = Shared();
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
      EXPECT_EQ(loaded[i], cases[i].expected) << i << ": " << (cases[i].text ? cases[i].text : "(missing)");
    }
    EXPECT_EQ(loaded[13], COLORREF{4660});
    EXPECT_EQ(loaded[14], kKept);
  }
  // The destructor rewrote every key with what the dialog holds.
  EXPECT_EQ(SavedText(3), std::to_string(kKept));
  EXPECT_EQ(SavedText(6), std::to_string(kKept));
  EXPECT_EQ(SavedText(7), "12");
  EXPECT_EQ(SavedText(13), "4660");
}

TEST_F(ColourDialog, SwitchedOffUserConfigurationSavesNothing) {
  ASSERT_TRUE(NyWriteDefaultConfigT(kSection, Key(5).c_str(), 777L));
  ASSERT_TRUE(NyWriteUserConfigT(kSection, Key(5).c_str(), 888L));
  const std::string userFile = m_dir / (std::string("User\\") + kFile);
  const std::string before = nytest::ReadBytes(userFile);
  NySetUserConfigEnable(false);
  SetShared(Filled(kWhite));
  {
    CNyColorDialog dialog;
    // Read from the default layer alone; the user's file is not looked at.
    EXPECT_EQ(Shared()[5], COLORREF{777});
    CColorDialog::GetSavedCustomColors()[6] = RGB(4, 5, 6);
  }
  EXPECT_EQ(nytest::ReadBytes(userFile), before);
  NySetUserConfigEnable(true);
  EXPECT_EQ(SavedText(5), "888");
  EXPECT_EQ(SavedText(6), "-");
}

}  // namespace
