// The colour button by pixels on a real window: swatch, inverse caption,
// raised and sunken frames, hatch when disabled, non-RGB colours, GDI count.
// The colour dialog's custom colours through the user configuration: kept
// across real runs of the platform dialog (OK and Cancel), bad saved values,
// a user configuration switched off.
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

constexpr int kWidth = 120, kHeight = 50;
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kBlue = RGB(0, 128, 255);

class ColourButton : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        parent.CreateEx(0, nullptr, "colour", WS_POPUP | WS_VISIBLE, 40, 40, 200, 100, nullptr, nullptr));
    ASSERT_TRUE(button.Create("Ab", WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 20 + kWidth, 20 + kHeight),
                              &parent, 500));
  }
  nytest::Image Capture() { return nytest::CaptureClient(button.m_hWnd); }

  nytest::Watchdog dog{60};
  CWnd parent;
  CNyColorButton button{kBlue};
};

// The one-pixel frame: `topLeft` on the top edge (with both top corners) and
// the left edge, `bottomRight` on the bottom edge (both corners) and the right.
testing::AssertionResult Framed(const nytest::Image& im, COLORREF topLeft, COLORREF bottomRight) {
  const int w = im.width, h = im.height;
  if (nytest::IsSolid(im, {0, 0, w, 1}, topLeft) && nytest::IsSolid(im, {0, 0, 1, h - 1}, topLeft) &&
      nytest::IsSolid(im, {0, h - 1, w, h}, bottomRight) &&
      nytest::IsSolid(im, {w - 1, 1, w, h}, bottomRight)) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "frame is not " << std::hex << topLeft << "/" << bottomRight;
}

TEST_F(ColourButton, SwatchCaptionInTheInverseColourAndFrame) {
  EXPECT_EQ(CNyColorButton().GetColor(), RGB(192, 192, 192));
  for (const COLORREF colour : {kBlue, kBlack, kWhite, RGB(192, 192, 192)}) {
    SCOPED_TRACE(testing::Message() << std::hex << colour);
    button.SetColor(colour);
    const nytest::Image im = Capture();
    ASSERT_EQ(im.width, kWidth);
    EXPECT_TRUE(nytest::IsSolid(im, {1, 1, kWidth - 1, 8}, colour));
    // The caption's pixels inside the frame (which is black and white),
    // centred on one line.
    RECT text = {kWidth, kHeight, 0, 0};
    for (int y = 1; y < kHeight - 1; ++y) {
      for (int x = 1; x < kWidth - 1; ++x) {
        if (im.At(x, y) != (colour ^ 0xFFFFFF)) continue;
        text = {std::min<LONG>(text.left, x), std::min<LONG>(text.top, y), std::max<LONG>(text.right, x + 1),
                std::max<LONG>(text.bottom, y + 1)};
      }
    }
    ASSERT_LT(text.left, text.right) << "no caption";
    EXPECT_NEAR(text.left + text.right, kWidth, 3);
    EXPECT_NEAR(text.top + text.bottom, kHeight, 4);
    EXPECT_TRUE(Framed(im, kWhite, kBlack));  // raised
  }
  button.SetState(TRUE);  // ODS_SELECTED, as while the mouse holds it
  EXPECT_TRUE(Framed(Capture(), kBlack, kWhite));
  nytest::SaveIfRequested(Capture(), "colour_button_pressed");
  button.SetState(FALSE);
  button.SetFocus();  // ODA_FOCUS
  EXPECT_TRUE(Framed(Capture(), kWhite, kBlack));

  CNyColorButton early;
  early.SetColor(RGB(10, 200, 10));  // no window yet: only stored
  ASSERT_TRUE(early.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(150, 20, 190, 60), &parent, 501));
  EXPECT_TRUE(nytest::IsSolid(nytest::CaptureClient(early.m_hWnd), {1, 1, 39, 39}, RGB(10, 200, 10)));
}

TEST_F(ColourButton, DisabledShowsACrossHatchInItsColour) {
  button.SetColor(kBlack);
  button.EnableWindow(FALSE);
  const nytest::Image im = Capture();
  // An 8 x 8 block away from the caption: hatch lines and the gaps between.
  const int lines = nytest::CountColour(im, {8, 4, 16, 12}, kBlack);
  EXPECT_GT(lines, 0);
  EXPECT_LT(lines, 64);
  EXPECT_GT(nytest::CountColour(im, {30, 10, kWidth - 30, kHeight - 10}, kWhite), 0);  // the caption
  EXPECT_TRUE(Framed(im, kWhite, kBlack));
  nytest::SaveIfRequested(im, "colour_button_disabled");
}

// Colours with a top byte are handed to GDI as they are. Measured under Wine:
// palette-relative RGB (0x02) is drawn as that RGB; palette indexes (0x01)
// and other top bytes come out black, the caption with them.
TEST_F(ColourButton, ManyDrawsAndNonRgbColoursLeaveTheGdiCountFlat) {
  Capture();  // the first paint may make lasting objects
  const long before = NyAfxGetLiveGdiObjectCount();
  for (int i = 0; i < 300; ++i) {
    button.SetColor(RGB(i % 256, (i * 7) % 256, 255 - i % 256));
    button.EnableWindow(i % 3 != 0);
    button.SetState(i % 2);
    button.UpdateWindow();
  }
  button.EnableWindow(TRUE);
  for (const COLORREF colour : {0x010000FFul, 0x020000FFul, 0xFF0000FFul, 0xFFFFFFFFul}) {
    button.SetColor(colour);
    EXPECT_EQ(button.GetColor(), colour);
    for (const BOOL pressed : {TRUE, FALSE}) {
      button.SetState(pressed);
      const nytest::Image im = Capture();
      if (colour == 0x020000FF) EXPECT_EQ(im.At(3, 3), RGB(255, 0, 0));
      EXPECT_TRUE(pressed ? Framed(im, kBlack, kWhite) : Framed(im, kWhite, kBlack)) << std::hex << colour;
    }
  }
  EXPECT_EQ(NyAfxGetLiveGdiObjectCount(), before);
}

// ---- Colour dialog -------------------------------------------------------------------------

constexpr char kSection[] = "NyColorDialog";
constexpr char kFile[] = "ColourTests.ini";
using Colours = std::array<COLORREF, CNyColorDialog::SAVED_CUSTOM_COLOR>;

std::string Key(int i) { return "SavedColor" + std::to_string(i); }
Colours Shared() {
  Colours out;
  std::copy_n(CColorDialog::GetSavedCustomColors(), out.size(), out.begin());
  return out;
}
void SetShared(const Colours& c) { std::copy(c.begin(), c.end(), CColorDialog::GetSavedCustomColors()); }
void FillShared(COLORREF c) { std::fill_n(CColorDialog::GetSavedCustomColors(), Colours().size(), c); }

// The user and default configuration in a temporary folder.
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
  // Custom colour i's text in the user file alone; "-" when none.
  static std::string SavedText(int i) {
    char text[1024] = "";
    return NyReadUserConfigT(kSection, Key(i).c_str(), text, nullptr, false) ? text : "-";
  }

  nytest::TempFolder m_dir;
  Colours m_saved{};
};

// The dialog's own hook, once the dialog is up, types `typed` into the red,
// green and blue boxes, presses "Add to custom colours" if asked, then `end`.
struct Plan {
  COLORREF typed = 0;
  int end = IDOK;
  bool add = true;
  bool fullOpen = false;    // seen: the custom-colour part is open
  COLORREF shownFirst = 0;  // custom colour 0 as the dialog got it
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
  // Full open: "Add" lies inside the client area and "Define custom colours"
  // is disabled. The dialog is not shown yet (the modal loop shows it when
  // idle), so the button's style is asked rather than IsWindowVisible.
  const HWND add = ::GetDlgItem(dialog, COLOR_ADD);
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
  for (int i = 0; i < 16; ++i) start[i] = RGB(i, 2 * i, 3 * i);
  start[1] = RGB(255, 0, 0);
  start[2] = kWhite;
  SetShared(start);
  // Nothing saved yet: the colours stay, and all sixteen are saved in decimal.
  { CNyColorDialog first; }
  EXPECT_EQ(Shared(), start);
  EXPECT_EQ(SavedText(1), "255");
  EXPECT_EQ(SavedText(2), "16777215");
  for (int i = 0; i < 16; ++i) EXPECT_EQ(SavedText(i), std::to_string(start[i])) << i;

  // OK after adding a colour; the next object (with the shared array
  // forgotten, as in the application's next run) gets it back.
  Colours expected = start;
  expected[0] = RGB(201, 102, 33);
  {
    CNyColorDialog dialog(RGB(5, 6, 7));
    Plan plan;
    plan.typed = expected[0];
    ASSERT_EQ(RunDriven(dialog, plan), IDOK);
    EXPECT_TRUE(plan.fullOpen);
    EXPECT_EQ(plan.shownFirst, start[0]);
    EXPECT_EQ(dialog.GetColor(), expected[0]);
  }
  FillShared(RGB(9, 9, 9));
  { CNyColorDialog next; }
  EXPECT_EQ(Shared(), expected);

  // Cancel saves too: the platform edits the shared array in place, each run
  // adding from the first slot, so a colour added before Cancel is kept.
  {
    CNyColorDialog dialog;
    Plan plan;
    plan.typed = RGB(1, 250, 125);
    plan.end = IDCANCEL;
    ASSERT_EQ(RunDriven(dialog, plan), IDCANCEL);
    EXPECT_EQ(plan.shownFirst, expected[0]);
  }
  expected[0] = RGB(1, 250, 125);
  FillShared(RGB(9, 9, 9));
  { CNyColorDialog last; }
  EXPECT_EQ(Shared(), expected);

  CNyColorDialog closed(0, 0);  // the flags are the caller's
  Plan plan;
  plan.add = false;
  plan.end = IDCANCEL;
  ASSERT_EQ(RunDriven(closed, plan), IDCANCEL);
  EXPECT_FALSE(plan.fullOpen);
}

TEST_F(ColourDialog, SavedValuesThatAreNoColourKeepTheCustomColour) {
  constexpr COLORREF kKept = RGB(1, 2, 3);
  // Index = custom colour. The configuration's number rule decides what is
  // a number (leading digit or sign, atoi); the dialog refuses non-RGB.
  const std::pair<const char*, COLORREF> cases[] = {
      {nullptr, kKept},         {"", kKept},
      {"abc", kKept},           {"-1", kKept},
      {"16777216", kKept},      {"99999999999", kKept},
      {"4278190335", kKept},    {"12abc", RGB(12, 0, 0)},
      {"0x10", kBlack},         {"16777215", kWhite},
      {"+255", RGB(255, 0, 0)}, {"true", kKept},
  };
  for (int i = 0; i < 12; ++i) {
    if (cases[i].first) ASSERT_TRUE(NyWriteUserConfigT(kSection, Key(i).c_str(), cases[i].first));
  }
  // The default layer answers where the user file has nothing.
  ASSERT_TRUE(NyWriteDefaultConfigT(kSection, Key(13).c_str(), 4660L));
  ASSERT_TRUE(NyWriteDefaultConfigT(kSection, Key(10).c_str(), 77L));
  FillShared(kKept);
  {
    CNyColorDialog dialog;
    const Colours loaded = Shared();
    for (int i = 0; i < 12; ++i) EXPECT_EQ(loaded[i], cases[i].second) << i;
    EXPECT_EQ(loaded[13], 4660u);
    EXPECT_EQ(loaded[14], kKept);
  }
  EXPECT_EQ(SavedText(3), std::to_string(kKept));  // rewritten with what was kept
  EXPECT_EQ(SavedText(7), "12");
  EXPECT_EQ(SavedText(13), "4660");
}

TEST_F(ColourDialog, SwitchedOffUserConfigurationSavesNothing) {
  ASSERT_TRUE(NyWriteDefaultConfigT(kSection, Key(5).c_str(), 777L));
  ASSERT_TRUE(NyWriteUserConfigT(kSection, Key(5).c_str(), 888L));
  const std::string userFile = m_dir / (std::string("User\\") + kFile);
  const std::string before = nytest::ReadBytes(userFile);
  NySetUserConfigEnable(false);
  FillShared(kWhite);
  {
    CNyColorDialog dialog;
    EXPECT_EQ(Shared()[5], 777u);  // the default layer alone
    CColorDialog::GetSavedCustomColors()[6] = RGB(4, 5, 6);
  }
  EXPECT_EQ(nytest::ReadBytes(userFile), before);
}

}  // namespace
