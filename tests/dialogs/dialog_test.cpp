// The dialog base on real dialogs: the three runs and their results, the
// hooks that replay dialogs without a user, the modeless registry, the
// resource module, the saved position and data exchange in display units;
// then the text-input dialog and the message box.
#include <functional>
#include <string>
#include <vector>

#include "DoRor.h"
#include "LibraryTexts.h"
#include "NyTestSupport.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"

namespace {

constexpr UINT kTemplate = 300;
constexpr int kEdit = 1000;
constexpr UINT WM_TEST_ABORT = WM_APP + 50;

// Message boxes are recorded, not shown, unless a test asks for the real
// box.
class TestApp : public CWinApp {
 public:
  TestApp() : CWinApp("DialogTests") {}
  struct Box {
    std::string prompt;
    UINT type;
  };
  std::vector<Box> boxes;
  bool realBoxes = false;
  int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override {
    boxes.push_back({lpszPrompt, nType});
    return realBoxes ? CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt) : IDOK;
  }
};
TestApp theApp;

class TestDialog : public CNyDialog {
 public:
  explicit TestDialog(UINT id = kTemplate) : CNyDialog(id) {}
  ~TestDialog() override {
    if (deleted) ++*deleted;
  }
  using CNyDialog::GetDialogMode;
  using CNyDialog::GetResourceHandle;
  using CNyDialog::IsIdleMessage;
  using CNyDialog::LoopEnd;
  using CNyDialog::SetResourceName;
  using CNyDialog::SetReturnCode;

  std::function<void(TestDialog&)> onInit;
  enum Exchange { kNone, kInt, kLength, kLengthFloat, kArea, kVolume, kPlainDouble } exchange = kNone;
  int number = 0;
  double value = 0;
  float valueF = 0;
  int* deleted = nullptr;
  HINSTANCE resourceDuringInit = nullptr;
  mode modeDuringInit = MODE_NONE;

  void Post(UINT command) { ::PostMessageA(m_hWnd, WM_COMMAND, command, 0); }
  CString Text() {
    CString text;
    GetDlgItemText(kEdit, text);
    return text;
  }

 protected:
  BOOL OnInitDialog() override {
    CNyDialog::OnInitDialog();
    resourceDuringInit = AfxGetResourceHandle();
    modeDuringInit = GetDialogMode();
    if (onInit) onInit(*this);
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    switch (exchange) {
      case kNone:
        break;
      case kInt:
        DDX_Text(pDX, kEdit, number);
        break;
      case kLength:
        DDX_Text_For_Length(pDX, kEdit, value);
        break;
      case kLengthFloat:
        DDX_Text_For_Length(pDX, kEdit, valueF);
        break;
      case kArea:
        DDX_Text_For_LengthSquare(pDX, kEdit, value);
        break;
      case kVolume:
        DDX_Text_For_LengthCubic(pDX, kEdit, value);
        break;
      case kPlainDouble:
        DDX_Text(pDX, kEdit, value);
        break;
    }
    if (exchange == kLength) DDV_MinMaxDouble_For_Length(pDX, value, 0.0, 254.0);
  }
};

std::vector<std::pair<UINT, __int64>> g_captured;
__int64 g_autoResult = 1;
bool g_autoRunning = false;

bool CaptureHook(CNyDialog*, UINT id, __int64& result) {
  g_captured.emplace_back(id, result);
  result = 99;  // ignored
  return false;
}
bool AutoRunHook(CNyDialog*, UINT, __int64& result) {
  result = g_autoResult;
  return true;
}
bool IsAutoRunning() { return g_autoRunning; }

class DialogBase : public ::testing::Test {
 protected:
  void SetUp() override {
    g_captured.clear();
    theApp.boxes.clear();
    CNyDialog::SetCaptureNyDialogFunc(CaptureHook);
  }
  void TearDown() override {
    CNyDialog::SetCaptureNyDialogFunc(nullptr);
    CNyDialog::SetAutoRunNyDialogFunc(nullptr);
    CNyDialog::SetIsAutoRunningFunction(nullptr);
    CNyDialog::SetAbortMessageID(0);
    CNyDialog::SetSkipDialog(false);
    CNyDialog::SetHideModelessDialog(false);
    NySetDisplayUnit(DISPLAY_UNIT_MM);
    theApp.m_pMainWnd = nullptr;
    theApp.realBoxes = false;
    g_autoRunning = false;
  }
  // A plain top-level window as the application's main window.
  void MakeMainWindow(int x, int y) {
    ASSERT_TRUE(m_main.CreateEx(0, "STATIC", "Main", WS_POPUP | WS_VISIBLE, x, y, 300, 200, nullptr, 0));
    theApp.m_pMainWnd = &m_main;
  }
  nytest::Watchdog m_dog{60};
  CWnd m_main;
};

}  // namespace

TEST_F(DialogBase, ModalRunsEndWithTheButtonAndTellTheCaptureHook) {
  for (UINT button : {IDOK, IDCANCEL}) {
    TestDialog dlg;
    dlg.onInit = [button](TestDialog& d) { d.Post(button); };
    EXPECT_EQ(dlg.DoModal(), static_cast<INT_PTR>(button));
    EXPECT_EQ(dlg.modeDuringInit, CNyDialog::MODE_MODAL);
    EXPECT_EQ(dlg.GetDialogMode(), CNyDialog::MODE_NONE);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
  }
  const std::vector<std::pair<UINT, __int64>> expected = {{kTemplate, 1}, {kTemplate, 2}};
  EXPECT_EQ(g_captured, expected);
}

TEST_F(DialogBase, ModelessWaitResults) {
  CNyDialog::SetAbortMessageID(WM_TEST_ABORT);
  const struct {
    const char* name;
    std::function<void(TestDialog&)> onInit;
    INT_PTR expected;
  } cases[] = {
      {"ok", [](TestDialog& d) { d.Post(IDOK); }, 1},
      {"cancel", [](TestDialog& d) { d.Post(IDCANCEL); }, 2},
      // Posted to the thread: what is posted to the dialog goes with it.
      {"abort", [](TestDialog&) { ::PostThreadMessageA(::GetCurrentThreadId(), WM_TEST_ABORT, 0, 0); }, 3},
      {"own code", [](TestDialog& d) { d.SetReturnCode(7), d.LoopEnd(); }, 7},
  };
  for (const auto& c : cases) {
    TestDialog dlg;
    dlg.onInit = c.onInit;
    EXPECT_EQ(dlg.DoModelessWait(), c.expected) << c.name;
    EXPECT_EQ(dlg.modeDuringInit, CNyDialog::MODE_MODELESS_WAIT) << c.name;
    EXPECT_EQ(dlg.GetDialogMode(), CNyDialog::MODE_NONE) << c.name;
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << c.name;
  }
  // The abort message stays queued for the caller's loop.
  MSG msg;
  EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_TEST_ABORT, WM_TEST_ABORT, PM_REMOVE));
}

TEST_F(DialogBase, QuitDuringAModelessWaitRunReachesTheCallersLoop) {
  TestDialog dlg;
  dlg.onInit = [](TestDialog&) { ::PostQuitMessage(5); };
  EXPECT_EQ(dlg.DoModelessWait(), 2);
  // The window stays, and so does the mode: the application is ending.
  EXPECT_TRUE(::IsWindow(dlg.GetSafeHwnd()));
  EXPECT_EQ(dlg.GetDialogMode(), CNyDialog::MODE_MODELESS_WAIT);
  MSG msg;
  EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  dlg.DestroyWindow();
}

TEST_F(DialogBase, MainWindowCannotBeClosedDuringAModelessWaitRun) {
  MakeMainWindow(100, 100);
  TestDialog dlg;
  dlg.onInit = [this](TestDialog& d) {
    ::PostMessageA(m_main.m_hWnd, WM_CLOSE, 0, 0);
    d.Post(IDOK);
  };
  EXPECT_EQ(dlg.DoModelessWait(), 1);
  EXPECT_TRUE(::IsWindow(m_main.m_hWnd));
  m_main.DestroyWindow();
}

TEST_F(DialogBase, AutoRunTurnsModalRunsIntoReplayedRuns) {
  CNyDialog::SetAutoRunNyDialogFunc(AutoRunHook);
  EXPECT_EQ(CNyDialog::SetIsAutoRunningFunction(IsAutoRunning), nullptr);
  g_autoRunning = true;
  {
    g_autoResult = 2;
    TestDialog dlg;
    EXPECT_EQ(dlg.DoModal(), 2);
    EXPECT_EQ(dlg.modeDuringInit, CNyDialog::MODE_MODELESS_WAIT);
  }
  {
    // A failed validation does not stop a replayed OK.
    g_autoResult = 1;
    TestDialog dlg;
    dlg.exchange = TestDialog::kInt;
    dlg.onInit = [](TestDialog& d) { d.SetDlgItemText(kEdit, "not a number"); };
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(theApp.boxes.size(), 1u);
  }
  {
    // DoModeless replays too, and reports an open dialog.
    TestDialog dlg;
    EXPECT_TRUE(dlg.DoModeless(false));
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
  }
  const std::vector<std::pair<UINT, __int64>> expected = {{kTemplate, 2}, {kTemplate, 1}, {kTemplate, 1}};
  EXPECT_EQ(g_captured, expected);
  EXPECT_EQ(CNyDialog::SetIsAutoRunningFunction(nullptr), &IsAutoRunning);
}

TEST_F(DialogBase, OneModelessDialogPerTemplate) {
  int deleted = 0;
  auto* first = new TestDialog;
  first->deleted = &deleted;
  CNyDialog::SetHideModelessDialog(true);
  ASSERT_TRUE(first->DoModeless(true));
  HWND hWnd = first->GetSafeHwnd();
  EXPECT_FALSE(::IsWindowVisible(hWnd));
  EXPECT_EQ(first->GetDialogMode(), CNyDialog::MODE_MODELESS);

  // A second one for the same template is refused and, auto-deleting, deleted.
  auto* second = new TestDialog;
  second->deleted = &deleted;
  EXPECT_FALSE(second->DoModeless(true));
  EXPECT_EQ(deleted, 1);
  TestDialog third;
  EXPECT_FALSE(third.DoModeless(false));

  // Closing the first deletes it once, and frees the template id.
  first->Post(IDCANCEL);
  EXPECT_TRUE(nytest::PumpUntil([&] { return deleted == 2; }, 10000));
  EXPECT_FALSE(::IsWindow(hWnd));
  CNyDialog::SetHideModelessDialog(false);
  ASSERT_TRUE(third.DoModeless(false));
  EXPECT_TRUE(::IsWindowVisible(third.GetSafeHwnd()));
  third.EndModeless();
  EXPECT_EQ(third.GetSafeHwnd(), nullptr);
  EXPECT_EQ(third.GetDialogMode(), CNyDialog::MODE_NONE);
  const std::vector<std::pair<UINT, __int64>> expected = {{kTemplate, 2}};
  EXPECT_EQ(g_captured, expected);
}

TEST_F(DialogBase, EndModelessLeavesOtherRunsAlone) {
  TestDialog dlg;
  dlg.onInit = [](TestDialog& d) {
    d.EndModeless();
    d.Post(IDOK);
  };
  EXPECT_EQ(dlg.DoModelessWait(), 1);
  EXPECT_EQ(dlg.DoModal(), 1);
}

TEST_F(DialogBase, TemplateThatCannotBeLoaded) {
  TestDialog dlg(4711);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_EQ(dlg.DoModelessWait(), -1);
  EXPECT_EQ(dlg.GetDialogMode(), CNyDialog::MODE_NONE);
  EXPECT_FALSE(dlg.DoModeless(false));
  int deleted = 0;
  auto* heap = new TestDialog(4711);
  heap->deleted = &deleted;
  EXPECT_FALSE(heap->DoModeless(true));
  EXPECT_EQ(deleted, 1);
  // The failed runs left no registration behind.
  TestDialog again(4711);
  EXPECT_FALSE(again.DoModeless(false));
  EXPECT_TRUE(g_captured.empty());
}

TEST_F(DialogBase, ResourceModuleSwappedForEachRunOnly) {
  HMODULE library = ::GetModuleHandleA("DoRor.dll");
  const HINSTANCE before = AfxGetResourceHandle();
  ASSERT_NE(before, library);
  // Template 159 is the library's own: it loads only from there.
  for (int run = 0; run < 3; ++run) {
    TestDialog dlg(159);
    dlg.SetResourceName("DoRor.dll");
    EXPECT_EQ(dlg.GetResourceHandle(), library);
    dlg.onInit = [](TestDialog& d) { d.Post(IDCANCEL); };
    if (run == 0) EXPECT_EQ(dlg.DoModal(), 2);
    if (run == 1) EXPECT_EQ(dlg.DoModelessWait(), 2);
    if (run == 2) {
      EXPECT_TRUE(dlg.DoModeless(false));
      EXPECT_TRUE(nytest::PumpUntil([&] { return dlg.GetSafeHwnd() == nullptr; }, 10000));
    }
    EXPECT_EQ(dlg.resourceDuringInit, library) << run;
    EXPECT_EQ(AfxGetResourceHandle(), before) << run;
  }
  TestDialog missing;
  missing.SetResourceName("NoSuchModule.dll");
  EXPECT_EQ(missing.GetResourceHandle(), nullptr);
}

TEST_F(DialogBase, IdleMessagesSkipRepeatedMouseMoves) {
  TestDialog dlg;
  MSG move = {};
  move.message = WM_MOUSEMOVE;
  move.pt = {40, 50};
  EXPECT_TRUE(dlg.IsIdleMessage(&move));
  EXPECT_FALSE(dlg.IsIdleMessage(&move));
  move.pt.x = 41;
  EXPECT_TRUE(dlg.IsIdleMessage(&move));
  MSG paint = {};
  paint.message = WM_PAINT;
  EXPECT_FALSE(dlg.IsIdleMessage(&paint));
  EXPECT_FALSE(dlg.IsIdleMessage(nullptr));
}

// ---- Saved position ---------------------------------------------------------------

namespace {

class SavedPosition : public DialogBase {
 protected:
  void SetUp() override {
    DialogBase::SetUp();
    ASSERT_TRUE(NySetUserConfigFileNameT("DialogTests.ini"));
    std::filesystem::create_directories(m_dir / "Default");
    std::filesystem::create_directories(m_dir / "User");
    ASSERT_TRUE(NySetDefaultConfigPathT((m_dir / "Default").c_str()));
    ASSERT_TRUE(NySetUserConfigPathT((m_dir / "User").c_str()));
    NySetUserConfigEnable(true);
    MONITORINFO info = {sizeof info};
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    m_work = info.rcWork;
    CNyDialog::SetHideModelessDialog(true);
    ASSERT_TRUE(m_dlg.DoModeless(false));
  }
  void TearDown() override {
    m_dlg.EndModeless();
    NySetUserConfigEnable(true);
    DialogBase::TearDown();
  }
  void Write(const char* section, const char* keys) {
    // "Key=value Key=value ..."
    std::string all = keys;
    for (size_t at = 0; at < all.size();) {
      size_t end = all.find(' ', at);
      if (end == std::string::npos) end = all.size();
      const std::string pair = all.substr(at, end - at);
      const size_t eq = pair.find('=');
      ASSERT_TRUE(NyWriteUserConfig(section, pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str()));
      at = end + 1;
    }
  }
  CRect Rect() {
    CRect r;
    m_dlg.GetWindowRect(&r);
    return r;
  }
  nytest::TempFolder m_dir;
  RECT m_work = {};
  TestDialog m_dlg;
};

}  // namespace

TEST_F(SavedPosition, SaveWritesPositionSizeAndPlaceFromTheMainWindow) {
  MakeMainWindow(200, 150);
  m_dlg.MoveWindow(260, 190, 240, 130);
  ASSERT_TRUE(m_dlg.SaveDialogPos("Saved", true));
  const struct {
    const char* key;
    long value;
  } keys[] = {{"PositionX", 260}, {"PositionY", 190},          {"SizeX", 240},
              {"SizeY", 130},     {"PositionFromParentX", 60}, {"PositionFromParentY", 40}};
  for (const auto& k : keys) {
    long value = -1;
    EXPECT_TRUE(NyReadUserConfig("Saved", k.key, value));
    EXPECT_EQ(value, k.value) << k.key;
  }
  // Without size, and without a reference window: position only.
  theApp.m_pMainWnd = nullptr;
  ASSERT_TRUE(m_dlg.SaveDialogPos("PositionOnly", false));
  long value = 0;
  EXPECT_TRUE(NyReadUserConfig("PositionOnly", "PositionX", value));
  EXPECT_FALSE(NyReadUserConfig("PositionOnly", "SizeX", value));
  EXPECT_FALSE(NyReadUserConfig("PositionOnly", "PositionFromParentX", value));
  // A user configuration that is switched off takes nothing and is no error.
  NySetUserConfigEnable(false);
  EXPECT_TRUE(m_dlg.SaveDialogPos("Off", true));
  NySetUserConfigEnable(true);
  EXPECT_FALSE(NyReadUserConfig("Off", "PositionX", value));
  m_main.DestroyWindow();
}

TEST_F(SavedPosition, RestoreTable) {
  const int w = m_work.right - m_work.left, h = m_work.bottom - m_work.top;
  const std::string farRight = std::to_string(m_work.right - 10);
  const std::string huge = std::to_string(w + 500) + " SizeY=" + std::to_string(h + 500);
  const struct {
    const char* section;
    std::string keys;
    bool restoreSize, mainWindow, result;
    // Expected rectangle: left and top, and width and height (0: unchanged).
    int left, top, width, height;
  } cases[] = {
      {"LegacyTopLeft", "left=100 top=120", false, false, true, 100, 120, 0, 0},
      {"PositionWins", "PositionX=50 PositionY=60 left=300 top=300", false, false, true, 50, 60, 0, 0},
      {"LegacySize", "PositionX=50 PositionY=60 right=350 bottom=260", true, false, true, 50, 60, 300, 200},
      {"Size", "PositionX=50 PositionY=60 SizeX=220 SizeY=110 right=9 bottom=9", true, false, true, 50, 60,
       220, 110},
      {"SizeIgnored", "PositionX=50 PositionY=60 SizeX=220 SizeY=110", false, false, true, 50, 60, 0, 0},
      {"ParentWins", "PositionX=50 PositionY=60 PositionFromParentX=10 PositionFromParentY=20", false, true,
       true, 210, 170, 0, 0},
      {"NoParent", "PositionX=50 PositionY=60 PositionFromParentX=10 PositionFromParentY=20", false, false,
       true, 50, 60, 0, 0},
      // Kept on the work area: the right edge comes back onto it.
      {"FarRight", "PositionX=" + farRight + " PositionY=100", false, false, true, -1, 100, 0, 0},
      {"FarOutside", "PositionX=-100000 PositionY=-100000", false, false, true, m_work.left, m_work.top, 0,
       0},
      // Larger than the work area: top-left on it, the rest cut.
      {"TooLarge", "PositionX=100 PositionY=100 SizeX=" + huge, true, false, true, m_work.left, m_work.top, w,
       h},
      // Half pairs and texts that are no numbers are not read.
      {"HalfPair", "PositionX=50 top=40", false, false, false, 0, 0, 0, 0},
      {"NotNumbers", "PositionX=abc PositionY=60", false, false, false, 0, 0, 0, 0},
      {"Nothing", "Other=1", true, false, false, 0, 0, 0, 0},
  };
  MakeMainWindow(200, 150);
  for (const auto& c : cases) {
    theApp.m_pMainWnd = c.mainWindow ? &m_main : nullptr;
    Write(c.section, c.keys.c_str());
    m_dlg.MoveWindow(30, 40, 200, 100);
    const CRect before = Rect();
    EXPECT_EQ(m_dlg.RestoreDialogPos(c.section, c.restoreSize), c.result) << c.section;
    const CRect after = Rect();
    if (!c.result) {
      EXPECT_EQ(after, before) << c.section;
      continue;
    }
    const int width = c.width ? c.width : before.Width(), height = c.height ? c.height : before.Height();
    EXPECT_EQ(after.Width(), width) << c.section;
    EXPECT_EQ(after.Height(), height) << c.section;
    EXPECT_EQ(after.left, c.left == -1 ? m_work.right - width : c.left) << c.section;
    EXPECT_EQ(after.top, c.top) << c.section;
  }
  m_main.DestroyWindow();
}

// ---- Data exchange in display units ---------------------------------------------------

TEST_F(DialogBase, LengthsAreShownInTheDisplayUnit) {
  TestDialog dlg;
  CNyDialog::SetHideModelessDialog(true);
  ASSERT_TRUE(dlg.DoModeless(false));
  const struct {
    DisplayUnit unit;
    TestDialog::Exchange exchange;
    double value;
    const char* shown;
    const char* entered;
    double saved;
  } cases[] = {
      {DISPLAY_UNIT_MM, TestDialog::kLength, 12.5, "12.5", "20", 20.0},
      {DISPLAY_UNIT_INCH, TestDialog::kLength, 25.4, "1", "2", 50.8},
      {DISPLAY_UNIT_INCH, TestDialog::kLengthFloat, 25.4, "1", "0.5", 12.7},
      {DISPLAY_UNIT_INCH, TestDialog::kArea, 645.16, "1", "2", 1290.32},
      {DISPLAY_UNIT_INCH, TestDialog::kVolume, 16387.064, "1", "1", 16387.064},
      // Zero of either sign is shown as "0".
      {DISPLAY_UNIT_INCH, TestDialog::kLength, -0.0, "0", "0", 0.0},
      {DISPLAY_UNIT_MM, TestDialog::kPlainDouble, -0.0, "0", "-1.5", -1.5},
  };
  for (const auto& c : cases) {
    NySetDisplayUnit(c.unit);
    dlg.exchange = c.exchange;
    dlg.value = c.value;
    dlg.valueF = static_cast<float>(c.value);
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(std::string(dlg.Text()), c.shown) << c.shown;
    dlg.SetDlgItemText(kEdit, c.entered);
    ASSERT_TRUE(dlg.UpdateData(TRUE)) << c.entered;
    const double saved = c.exchange == TestDialog::kLengthFloat ? dlg.valueF : dlg.value;
    EXPECT_NEAR(saved, c.saved, 1e-4) << c.entered;
  }
  EXPECT_TRUE(theApp.boxes.empty());

  // A text that does not parse fails the exchange and keeps the variable;
  // the range check speaks in the display unit (254 mm is 10 in).
  NySetDisplayUnit(DISPLAY_UNIT_INCH);
  dlg.exchange = TestDialog::kLength;
  dlg.value = 25.4;
  dlg.SetDlgItemText(kEdit, "abc");
  EXPECT_FALSE(dlg.UpdateData(TRUE));
  EXPECT_DOUBLE_EQ(dlg.value, 25.4);
  dlg.SetDlgItemText(kEdit, "11");
  EXPECT_FALSE(dlg.UpdateData(TRUE));
  ASSERT_EQ(theApp.boxes.size(), 2u);
  EXPECT_NE(theApp.boxes[1].prompt.find(" 10"), std::string::npos) << theApp.boxes[1].prompt;
  dlg.EndModeless();
}

// ---- Text-input dialog and message box ------------------------------------------------

namespace {

class TextInputDialog : public DialogBase {};
const bool ny_text_input_labels =
    nytest::AddLabel("codepage", "TextInputDialog.*") && nytest::AddLabel("ui-language", "TextInputDialog.*");

std::wstring WindowTextW(HWND hWnd) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hWnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(hWnd, &text[0], static_cast<int>(text.size()))));
  return text;
}

std::wstring Wide(const std::string& text) {
  return std::wstring(CStringW(CString(text.c_str())).GetString());
}

// What the replay hook saw on each call, and what it enters next.
struct Replay {
  std::vector<std::string> entries;  // the edit box's text per call
  std::vector<__int64> results;
  size_t calls = 0;
  HWND hWnd = nullptr;
  std::wstring caption, label, ok, cancel;
  std::string shown;
  DWORD selection = 0;
};
Replay g_replay;

bool ReplayHook(CNyDialog* dialog, UINT id, __int64& result) {
  Replay& r = g_replay;
  HWND hWnd = dialog->GetSafeHwnd();
  if (r.calls == 0) {
    r.hWnd = hWnd;
    r.caption = WindowTextW(hWnd);
    r.label = WindowTextW(::GetDlgItem(hWnd, 2001));
    r.ok = WindowTextW(::GetDlgItem(hWnd, IDOK));
    r.cancel = WindowTextW(::GetDlgItem(hWnd, IDCANCEL));
    char text[256] = "";
    ::GetDlgItemTextA(hWnd, 2000, text, sizeof text);
    r.shown = text;
    r.selection = static_cast<DWORD>(::SendDlgItemMessageA(hWnd, 2000, EM_GETSEL, 0, 0));
    nytest::SaveIfRequested(nytest::CaptureWindow(hWnd), "text-input-dialog");
  }
  EXPECT_EQ(id, 159u);
  ::SetDlgItemTextA(hWnd, 2000, r.entries.at(r.calls).c_str());
  result = r.results.at(r.calls);
  ++r.calls;
  return true;
}

}  // namespace

TEST_F(TextInputDialog, ShowsItsTextsAndRefusesAnEmptyText) {
  CNyDialog::SetAutoRunNyDialogFunc(ReplayHook);
  CNyDialog::SetIsAutoRunningFunction(IsAutoRunning);
  g_autoRunning = true;
  g_replay = Replay{{"", "Typed"}, {1, 1}};
  CNyGetStringDialog dlg;
  dlg.SetTitle("Rename");
  dlg.SetLabel("Name");
  dlg.SetDefaultName("Draft");
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_STREQ(dlg.GetString(), "Typed");
  EXPECT_EQ(g_replay.caption, L"Rename");
  EXPECT_EQ(g_replay.label, L"Name");
  EXPECT_EQ(g_replay.ok, nytest::ExpectedLibraryText(2));
  EXPECT_EQ(g_replay.cancel, nytest::ExpectedLibraryText(3));
  EXPECT_EQ(g_replay.shown, "Draft");
  EXPECT_EQ(g_replay.selection, MAKELONG(0, 5));  // all of it
  // The first OK had no text: one warning, in the user's language, and the
  // dialog stayed open for the second.
  EXPECT_EQ(g_replay.calls, 2u);
  ASSERT_EQ(theApp.boxes.size(), 1u);
  EXPECT_EQ(Wide(theApp.boxes[0].prompt), nytest::ExpectedLibraryText(4));
  EXPECT_EQ(theApp.boxes[0].type, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
  const std::vector<std::pair<UINT, __int64>> captured = {{159, 1}};
  EXPECT_EQ(g_captured, captured);
}

TEST_F(TextInputDialog, CancelKeepsTheDefaultTextAndSkipHidesTheWarning) {
  CNyDialog::SetAutoRunNyDialogFunc(ReplayHook);
  CNyDialog::SetIsAutoRunningFunction(IsAutoRunning);
  g_autoRunning = true;
  CNyDialog::SetSkipDialog(true);
  g_replay = Replay{{"", "Changed"}, {1, 2}};
  CNyGetStringDialog dlg;
  dlg.SetDefaultName(nullptr);
  dlg.SetDefaultName("Draft");
  dlg.SetTitle(nullptr);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(g_replay.calls, 2u);
  EXPECT_TRUE(theApp.boxes.empty());
  // The empty text the refused OK saved is what remains after Cancel.
  EXPECT_STREQ(dlg.GetString(), "");
  EXPECT_EQ(g_replay.caption, L"");
}

TEST_F(DialogBase, MessageBoxSkipsOnlyPlainOkBoxes) {
  CNyDialog::SetSkipDialog(true);
  EXPECT_EQ(NyMessageBox("Saved.", nullptr, MB_ICONEXCLAMATION), IDOK);
  EXPECT_TRUE(theApp.boxes.empty());
  EXPECT_EQ(NyMessageBox("Overwrite?", "Files", MB_YESNO), IDOK);
  CNyDialog::SetSkipDialog(false);
  EXPECT_EQ(NyMessageBox(nullptr, nullptr, MB_OK), IDOK);
  ASSERT_EQ(theApp.boxes.size(), 2u);
  EXPECT_EQ(theApp.boxes[0].prompt, "Overwrite?");
  EXPECT_EQ(theApp.boxes[1].prompt, "");
}

namespace {

// Confirms each message box as it is activated, noting its caption; runs
// after NyMessageBox's own hook, which was installed later.
HHOOK g_confirmHook = nullptr;
std::vector<std::string> g_boxCaptions;

LRESULT CALLBACK ConfirmBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    char name[64] = "", caption[256] = "";
    ::GetClassNameA(hWnd, name, sizeof name);
    if (std::string(name) == "#32770") {
      ::GetWindowTextA(hWnd, caption, sizeof caption);
      g_boxCaptions.push_back(caption);
      ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    }
  }
  return ::CallNextHookEx(g_confirmHook, code, wParam, lParam);
}

}  // namespace

TEST_F(DialogBase, MessageBoxCaptionIsTheCallersOrTheApplications) {
  theApp.realBoxes = true;
  g_confirmHook = ::SetWindowsHookExA(WH_CBT, ConfirmBoxes, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(g_confirmHook, nullptr);
  EXPECT_EQ(NyMessageBox("Body", "Own caption", MB_OK), IDOK);
  EXPECT_EQ(NyMessageBox("Body", nullptr, MB_OK), IDOK);
  ::UnhookWindowsHookEx(g_confirmHook);
  ASSERT_GE(g_boxCaptions.size(), 2u);
  EXPECT_EQ(g_boxCaptions.front(), "Own caption");
  EXPECT_EQ(g_boxCaptions.back(), "DialogTests");
}
