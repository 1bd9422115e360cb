// The toolkit's windows under a real display: message maps with the real
// handler arguments, reflection, subclassing, the handle map, the modal
// loop and data exchange.
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"
#include "NyWindowCapture.h"
#include "NyWindowTestSupport.h"

namespace {

// The test program's application object: message boxes are recorded, not
// shown, so that a failed exchange does not wait for a user.
class TestApp : public CWinApp {
 public:
  std::vector<std::string> prompts;
  int DoMessageBox(LPCTSTR lpszPrompt, UINT, UINT) override {
    prompts.emplace_back(lpszPrompt);
    return IDOK;
  }
};
TestApp theApp;

constexpr UINT WM_TEST_DESTROY_SELF = WM_APP + 2;

class BaseWnd : public CWnd {
 public:
  std::vector<std::string> calls;

 protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) { calls.push_back("base timer " + std::to_string(nIDEvent)); }
  afx_msg void OnBaseCommand() { calls.push_back("base command 200"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
  ON_WM_TIMER()
  ON_COMMAND(200, OnBaseCommand)
END_MESSAGE_MAP()

class TestWnd : public BaseWnd {
 public:
  bool deleteInPostNcDestroy = false;
  int* destroyedFlag = nullptr;

 protected:
  afx_msg void OnSize(UINT nType, int cx, int cy) {
    calls.push_back("size " + std::to_string(nType) + " " + std::to_string(cx) + " " + std::to_string(cy));
    CWnd::OnSize(nType, cx, cy);
  }
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
    calls.push_back("lbutton " + std::to_string(nFlags) + " " + std::to_string(point.x) + " " +
                    std::to_string(point.y));
  }
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    calls.push_back("key " + std::to_string(nChar) + " " + std::to_string(nRepCnt) + " " +
                    std::to_string(nFlags));
  }
  afx_msg LRESULT OnApp(WPARAM wParam, LPARAM lParam) {
    calls.push_back("app " + std::to_string(wParam) + " " + std::to_string(lParam));
    return 42;
  }
  afx_msg LRESULT OnDestroySelf(WPARAM, LPARAM) {
    DestroyWindow();  // the object may be gone when this returns
    return 7;
  }
  afx_msg void OnClicked() { calls.push_back("parent clicked"); }
  afx_msg void OnCommand100() { calls.push_back("command 100"); }
  void PostNcDestroy() override {
    if (destroyedFlag) ++*destroyedFlag;
    if (deleteInPostNcDestroy) delete this;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestWnd, BaseWnd)
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_MESSAGE(WM_APP + 1, OnApp)
  ON_MESSAGE(WM_TEST_DESTROY_SELF, OnDestroySelf)
  ON_BN_CLICKED(300, OnClicked)
  ON_BN_CLICKED(301, OnClicked)
  ON_COMMAND(100, OnCommand100)
END_MESSAGE_MAP()

// A button that takes its own click (and, for id 301, lets the parent see
// it too).
class ReflectingButton : public CWnd {
 public:
  std::vector<std::string>* log = nullptr;

 protected:
  afx_msg BOOL OnReflectedClick() {
    log->push_back("child clicked " + std::to_string(GetDlgCtrlID()));
    return GetDlgCtrlID() == 300;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingButton, CWnd)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnReflectedClick)
END_MESSAGE_MAP()

struct TopWindow {
  TopWindow() {
    wnd.CreateEx(0, nullptr, "toolkit test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                 nullptr);
  }
  TestWnd wnd;
};

}  // namespace

TEST(ToolkitWindow, MessageMapsCrackArgumentsAndFollowTheBaseMap) {
  nytest::Watchdog dog;
  TopWindow top;
  CWnd& w = top.wnd;
  ASSERT_NE(w.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(w.m_hWnd), &w);
  EXPECT_TRUE(w.IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_FALSE(w.IsKindOf(RUNTIME_CLASS(CDialog)));
  top.wnd.calls.clear();
  w.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
  w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-5), 17));
  w.SendMessage(WM_KEYDOWN, 'A', MAKELPARAM(3, 0x1E));
  EXPECT_EQ(w.SendMessage(WM_APP + 1, 9, -1), 42);
  w.SendMessage(WM_TIMER, 5, 0);
  w.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0), 0);
  w.SendMessage(WM_COMMAND, MAKEWPARAM(200, 0), 0);
  EXPECT_EQ(top.wnd.calls,
            (std::vector<std::string>{"size 0 120 80", "lbutton 1 -5 17", "key 65 3 30", "app 9 -1",
                                      "base timer 5", "command 100", "base command 200"}));
}

TEST(ToolkitWindow, ReflectionReachesTheControlFirst) {
  nytest::Watchdog dog;
  TopWindow top;
  ReflectingButton taker, sharer;
  taker.log = sharer.log = &top.wnd.calls;
  ASSERT_TRUE(taker.CreateEx(0, "BUTTON", "take", WS_CHILD | WS_VISIBLE, CRect(5, 5, 80, 30), &top.wnd, 300));
  ASSERT_TRUE(
      sharer.CreateEx(0, "BUTTON", "share", WS_CHILD | WS_VISIBLE, CRect(5, 40, 80, 65), &top.wnd, 301));
  top.wnd.calls.clear();
  taker.SendMessage(BM_CLICK);
  sharer.SendMessage(BM_CLICK);
  EXPECT_EQ(top.wnd.calls,
            (std::vector<std::string>{"child clicked 300", "child clicked 301", "parent clicked"}));
}

TEST(ToolkitWindow, SubclassingAndTheHandleMap) {
  nytest::Watchdog dog;
  TopWindow top;
  HWND button = ::CreateWindowExA(0, "BUTTON", "plain", WS_CHILD | BS_PUSHBUTTON, 0, 0, 50, 20,
                                  top.wnd.m_hWnd, reinterpret_cast<HMENU>(400), nullptr, nullptr);
  const LONG_PTR original = ::GetWindowLongPtr(button, GWLP_WNDPROC);
  EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
  CWnd* temporary = CWnd::FromHandle(button);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->m_hWnd, button);
  EXPECT_EQ(CWnd::FromHandle(button), temporary);
  EXPECT_EQ(top.wnd.GetDlgItem(400), temporary);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  CWnd::DeleteTempMap();
  EXPECT_TRUE(::IsWindow(button));  // temporaries never own their window

  CWnd sub;
  ASSERT_TRUE(sub.SubclassDlgItem(400, &top.wnd));
  EXPECT_EQ(CWnd::FromHandlePermanent(button), &sub);
  EXPECT_EQ(::GetWindowLongPtr(button, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc));
  // Messages the maps leave reach the button's own procedure.
  sub.SetWindowText("renamed");
  CString text;
  sub.GetWindowText(text);
  EXPECT_STREQ(text.GetString(), "renamed");
  EXPECT_EQ(sub.UnsubclassWindow(), button);
  EXPECT_EQ(::GetWindowLongPtr(button, GWLP_WNDPROC), original);
  EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
  EXPECT_EQ(sub.m_hWnd, nullptr);
  CWnd* none = nullptr;
  EXPECT_EQ(none->GetSafeHwnd(), nullptr);
}

TEST(ToolkitWindow, DestroyedFromItsOwnHandlerAndDeletedInPostNcDestroy) {
  nytest::Watchdog dog;
  int destroyed = 0;
  auto* wnd = new TestWnd;
  wnd->deleteInPostNcDestroy = true;
  wnd->destroyedFlag = &destroyed;
  ASSERT_TRUE(wnd->CreateEx(0, nullptr, "self", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  HWND hWnd = wnd->m_hWnd;
  EXPECT_EQ(::SendMessageA(hWnd, WM_TEST_DESTROY_SELF, 0, 0), 7);
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
  // An object on the stack whose window goes first is detached, not touched.
  int stackDestroyed = 0;
  {
    TestWnd onStack;
    onStack.destroyedFlag = &stackDestroyed;
    onStack.CreateEx(0, nullptr, "stack", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr);
    ::DestroyWindow(onStack.m_hWnd);
    EXPECT_EQ(onStack.m_hWnd, nullptr);
  }
  EXPECT_EQ(stackDestroyed, 1);
}

namespace {

// Paints its client area through its map: a red left half, a blue right half.
class PaintedWnd : public CWnd {
 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect left = client, right = client;
    left.right = right.left = client.Width() / 2;
    dc.FillSolidRect(&left, RGB(200, 0, 0));
    dc.FillSolidRect(&right, RGB(0, 0, 200));
  }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintedWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

}  // namespace

TEST(ToolkitWindow, PaintsThroughItsMap) {
  nytest::Watchdog dog;
  PaintedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "paint", WS_POPUP | WS_VISIBLE, 30, 30, 120, 60, nullptr, nullptr));
  const nytest::Image image = nytest::CaptureClient(wnd.m_hWnd);
  ASSERT_EQ(image.width, 120);
  EXPECT_TRUE(nytest::IsSolid(image, CRect(0, 0, 60, 60), RGB(200, 0, 0)));
  EXPECT_TRUE(nytest::IsSolid(image, CRect(60, 0, 120, 60), RGB(0, 0, 200)));
  nytest::SaveIfRequested(image, "toolkit-paint");
}

// ---- Dialogs ---------------------------------------------------------------------

namespace {

struct Values {
  BYTE b = 7;
  short s = -12;
  int i = -123456;
  UINT u = 4000000000u;
  long l = -7;
  DWORD d = 99;
  float f = 1.5f;
  double x = 0.1;
  CString text = "hello";
  int check = 1;
};

class ExchangeDialog : public CDialog {
 public:
  explicit ExchangeDialog(CWnd* parent) : CDialog(101, parent) {}
  Values v;
  // What to do once initialised: type texts, then post a command.
  std::vector<std::pair<int, std::string>> typed;
  UINT post = IDOK;
  BOOL ownerEnabledInside = TRUE;
  BOOL initialisedOk = FALSE;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 1001, v.b);
    DDX_Text(pDX, 1002, v.s);
    DDX_Text(pDX, 1003, v.i);
    DDV_MinMaxInt(pDX, v.i, -1000000, 1000000);
    DDX_Text(pDX, 1004, v.u);
    DDX_Text(pDX, 1005, v.l);
    DDX_Text(pDX, 1006, v.d);
    DDX_Text(pDX, 1007, v.f);
    DDX_Text(pDX, 1008, v.x);
    DDX_Text(pDX, 1009, v.text);
    DDV_MaxChars(pDX, v.text, 8);
    DDX_Check(pDX, 1010, v.check);
  }
  BOOL OnInitDialog() override {
    initialisedOk = CDialog::OnInitDialog();
    CWnd* owner = GetOwner();
    ownerEnabledInside = owner ? owner->IsWindowEnabled() : TRUE;
    for (const auto& [id, text] : typed) SetDlgItemText(id, text.c_str());
    PostMessage(WM_COMMAND, MAKEWPARAM(post, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(post)->m_hWnd));
    return TRUE;
  }
};

std::string ItemText(ExchangeDialog& dlg, int id) {
  CString text;
  dlg.GetDlgItemText(id, text);
  return text.GetString();
}

}  // namespace

TEST(ToolkitDialog, ModalRunEndsWithThePostedCodeAndReenablesTheOwner) {
  nytest::Watchdog dog;
  TopWindow owner;
  for (UINT code : {IDOK, IDCANCEL}) {
    ExchangeDialog dlg(&owner.wnd);
    dlg.post = code;
    EXPECT_EQ(dlg.DoModal(), static_cast<INT_PTR>(code));
    EXPECT_TRUE(dlg.initialisedOk);
    EXPECT_FALSE(dlg.ownerEnabledInside);
    EXPECT_TRUE(owner.wnd.IsWindowEnabled());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
  }
}

TEST(ToolkitDialog, DataExchangeInBothDirections) {
  nytest::Watchdog dog;
  TopWindow owner;
  theApp.prompts.clear();
  // Loading shows every value; OK reads back what was typed.
  ExchangeDialog dlg(&owner.wnd);
  dlg.typed = {{1001, " 255 "},      {1002, "-32768"},      {1003, "1000000"},
               {1004, "4294967295"}, {1005, "-2147483648"}, {1006, "0"},
               {1007, "2.25"},       {1008, "-1e-3"},       {1009, "bye"}};
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.v.b, 255);
  EXPECT_EQ(dlg.v.s, -32768);
  EXPECT_EQ(dlg.v.i, 1000000);
  EXPECT_EQ(dlg.v.u, 4294967295u);
  EXPECT_EQ(dlg.v.l, -2147483648L);
  EXPECT_EQ(dlg.v.d, 0u);
  EXPECT_EQ(dlg.v.f, 2.25f);
  EXPECT_EQ(dlg.v.x, -1e-3);
  EXPECT_STREQ(dlg.v.text.GetString(), "bye");
  EXPECT_TRUE(theApp.prompts.empty());

  // What the load direction writes into the controls.
  class Peek : public ExchangeDialog {
   public:
    using ExchangeDialog::ExchangeDialog;
    std::vector<std::string> shown;
    BOOL OnInitDialog() override {
      CDialog::OnInitDialog();
      for (int id = 1001; id <= 1009; ++id) shown.push_back(ItemText(*this, id));
      shown.push_back(std::to_string(IsDlgButtonChecked(1010)));
      EndDialog(IDCANCEL);
      return TRUE;
    }
  } peek(&owner.wnd);
  ASSERT_EQ(peek.DoModal(), IDCANCEL);
  EXPECT_EQ(peek.shown, (std::vector<std::string>{"7", "-12", "-123456", "4000000000", "-7", "99", "1.5",
                                                  "0.1", "hello", "1"}));
}

TEST(ToolkitDialog, FailedExchangeKeepsTheVariablesAndStaysOpen) {
  nytest::Watchdog dog;
  TopWindow owner;
  const struct {
    int id;
    const char* text;
    const char* prompt;
  } failures[] = {
      {1001, "256", "Please enter an integer between 0 and 255."},
      {1002, "32768", "Please enter an integer."},
      {1003, "12x", "Please enter an integer."},
      {1003, "2000000", "Please enter an integer between -1000000 and 1000000."},
      {1004, "-1", "Please enter a positive integer."},
      {1006, "", "Please enter a positive integer."},
      {1007, "1e39", "Please enter a number."},
      {1008, "one", "Please enter a number."},
      {1009, "too long text", "Please enter no more than 8 characters."},
  };
  for (const auto& f : failures) {
    theApp.prompts.clear();
    // OK fails and leaves the dialog open; Cancel, posted after it, ends it.
    class Twice : public ExchangeDialog {
     public:
      using ExchangeDialog::ExchangeDialog;
      int focusAfterFail = 0;
      void OnOK() override {
        CDialog::OnOK();
        focusAfterFail = ::GetDlgCtrlID(::GetFocus());
        PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    } twice(&owner.wnd);
    twice.typed = {{f.id, f.text}};
    const Values before;
    EXPECT_EQ(twice.DoModal(), IDCANCEL) << f.text;
    EXPECT_EQ(theApp.prompts, std::vector<std::string>{f.prompt}) << f.text;
    EXPECT_EQ(twice.focusAfterFail, f.id) << f.text;
    // The fields before the failing one were read; the failing one kept.
    if (f.id == 1001) EXPECT_EQ(twice.v.b, before.b);
    if (f.id == 1003) EXPECT_EQ(twice.v.i, f.text[0] == '2' ? 2000000 : before.i) << "checked after reading";
    if (f.id == 1009) EXPECT_STREQ(twice.v.text.GetString(), "too long text");
    EXPECT_EQ(twice.v.check, before.check) << "fields after the failure are not read";
  }
}
