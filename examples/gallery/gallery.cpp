// The gallery: every dialog and control of the library in its main states,
// one picture per view, written into the folder given as the first argument
// (make gallery: docs/gallery). The views are driven by messages and the
// dialogs' own hooks, so the pictures come out the same on every run.
//
//   DoRorGallery <folder>              every view but the text-input dialog
//   DoRorGallery <folder> text-input   the text-input dialog in the language
//                                      of the user interface (make gallery
//                                      runs it under three locales)
#include "gallery.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "../../tests/NyWindowCapture.h"
#include "../bitmaps/NyControlBitmaps.h"
#include "DoRor.h"

namespace {

// A host has its application object; the dialogs' loops work through it.
CWinApp theApp("DoRor gallery");

std::string g_folder;
int g_failures = 0;

// Ends the program when a view hangs instead of leaving make waiting: a
// stuck dialog fails the gallery. Straight to the handle and TerminateProcess,
// as the hung thread may hold the runtime's locks.
DWORD WINAPI Watchdog(void*) {
  ::Sleep(120000);
  const char message[] = "the gallery hung for 120 s and was ended\n";
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), message, sizeof message - 1, &written, nullptr);
  ::TerminateProcess(::GetCurrentProcess(), 3);
  return 0;
}

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void Save(const nytest::Image& image, const char* name) {
  const std::string path = g_folder + "\\" + name + ".png";
  const bool written = !image.Empty() && nytest::WritePng(image, path);
  std::printf("  %-28s %s\n", name, written ? "written" : "FAILED");
  g_failures += !written;
}

void SaveWindow(HWND window, const char* name) {
  Pump();
  ::UpdateWindow(window);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Save(nytest::CaptureWindow(window), name);
}

// `top` drawn over `image` at (x, y): a pop-up that lies over its owner.
void Paste(nytest::Image& image, const nytest::Image& top, int x, int y) {
  for (int row = 0; row < top.height; ++row) {
    for (int col = 0; col < top.width; ++col) {
      if (!image.Contains(x + col, y + row)) continue;
      image.pixels[static_cast<size_t>(y + row) * image.width + x + col] =
          top.pixels[static_cast<size_t>(row) * top.width + col];
    }
  }
}

// ---- The resizable dialog --------------------------------------------------------------

class ResizableDialog : public CNyDialog {
 public:
  ResizableDialog() : CNyDialog(IDD_GALLERY_RESIZABLE) {}

 protected:
  BOOL OnInitDialog() override {
    CNyDialog::OnInitDialog();
    SetAnchor(IDC_GALLERY_NAME, ANCHOR_TOP | ANCHOR_LEFT | ANCHOR_RIGHT);
    SetAnchor(IDC_GALLERY_LIST, ANCHOR_TOP | ANCHOR_BOTTOM | ANCHOR_LEFT | ANCHOR_RIGHT);
    SetAnchor(IDOK, ANCHOR_BOTTOM | ANCHOR_RIGHT);
    SetAnchor(IDCANCEL, ANCHOR_BOTTOM | ANCHOR_RIGHT);
    SetDlgItemText(IDC_GALLERY_NAME, "Beam B-12");
    for (const char* line : {"Length 1200 mm", "Width 300 mm", "Height 450 mm"})
      SendDlgItemMessage(IDC_GALLERY_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    return TRUE;
  }
};

void ResizableViews() {
  ResizableDialog dialog;
  if (!dialog.DoModeless(false)) {
    std::printf("  the resizable dialog could not be opened\n");
    ++g_failures;
    return;
  }
  dialog.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  dialog.ShowWindow(SW_SHOW);
  SaveWindow(dialog.m_hWnd, "resizable-dialog-design-size");
  CRect r;
  dialog.GetWindowRect(&r);
  dialog.SetWindowPos(nullptr, 0, 0, r.Width() + 160, r.Height() + 90, SWP_NOMOVE | SWP_NOZORDER);
  SaveWindow(dialog.m_hWnd, "resizable-dialog-enlarged");
  dialog.EndModeless();
}

// ---- The text-input dialog ------------------------------------------------------------

const char* g_textInputName = "text-input-dialog";

// Called from the dialog's own loop, which after the hook still retrieves
// one message before it sees that the dialog has ended: drawing the dialog
// here uses up the paint that was waiting, so a null message is posted for
// that retrieval.
bool CaptureTextInput(CNyDialog* dialog, UINT, __int64& result) {
  const HWND window = dialog->GetSafeHwnd();
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Save(nytest::CaptureWindow(window), g_textInputName);
  ::PostMessageA(window, WM_NULL, 0, 0);
  result = IDOK;
  return true;
}

void TextInputView() {
  switch (PRIMARYLANGID(::GetUserDefaultUILanguage())) {
    case LANG_JAPANESE:
      g_textInputName = "text-input-dialog-japanese";
      break;
    case LANG_GERMAN:
      g_textInputName = "text-input-dialog-german";
      break;
    default:
      g_textInputName = "text-input-dialog-english";
      break;
  }
  CNyDialog::SetIsAutoRunningFunction([] { return true; });
  CNyDialog::SetAutoRunNyDialogFunc(CaptureTextInput);
  CNyGetStringDialog ask;
  ask.SetTitle("Rename");
  ask.SetLabel("Name");
  ask.SetDefaultName("Draft 3");
  const INT_PTR result = ask.DoModal();
  std::printf("  the dialog returned %d, text \"%s\"\n", static_cast<int>(result), ask.GetString());
  CNyDialog::SetAutoRunNyDialogFunc(nullptr);
  CNyDialog::SetIsAutoRunningFunction(nullptr);
}

// ---- Owner-drawn controls -------------------------------------------------------------

void Nothing() {}

// The id the slider edit gives its drop button.
constexpr int kDropButtonId = 0x1234;

void ControlViews() {
  CWnd window;
  if (!window.CreateEx(0, nullptr, "Owner-drawn controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                       40, 40, 330, 240, nullptr, nullptr)) {
    ++g_failures;
    return;
  }
  CNyBitmapButton button;
  button.Create("OK", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 20, 20), &window, 601);
  button.LoadBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_FOCUS, IDB_BUTTON_DISABLED,
                     IDB_BUTTON_MASK);
  button.SetTextColors(RGB(255, 255, 255), RGB(255, 255, 0), RGB(255, 255, 255), RGB(224, 224, 224));
  CNyComboBitmapButton pad;
  pad.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(120, 20, 216, 116), &window, 602);
  pad.LoadBitmaps(IDB_COMBO_NORMAL, IDB_COMBO_PRESSED, IDB_COMBO_SHAPE, 0);
  for (UINT area : {IDB_COMBO_UP, IDB_COMBO_DOWN, IDB_COMBO_LEFT, IDB_COMBO_RIGHT})
    pad.AddVirtualButton(&Nothing, area);
  ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 20, 140, 100, 22, window.m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(603)), nullptr, nullptr);
  CNySliderEdit opacity;
  opacity.SubclassDlgItem(603, &window);
  opacity.SetRange(0, 255);
  opacity.SetPos(96);
  SaveWindow(window.m_hWnd, "controls-normal");

  // Pressed: the button pushed, the pad's up arrow held with the mouse.
  button.SetState(TRUE);
  pad.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(48, 20));
  pad.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(48, 20));
  SaveWindow(window.m_hWnd, "controls-pressed");
  pad.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(48, 20));
  button.SetState(FALSE);

  // The slider edit dropped down: the pop-up is a window of its own, drawn
  // over the owner's picture where it lies on the screen.
  HWND drop = ::GetDlgItem(window.m_hWnd, kDropButtonId);
  CRect dropRect;
  ::GetWindowRect(drop, &dropRect);
  ::SetCursorPos(dropRect.CenterPoint().x, dropRect.CenterPoint().y);
  ::SendMessageA(drop, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(dropRect.Width() / 2, dropRect.Height() / 2));
  Pump();
  HWND popup = ::GetParent(opacity.GetSliderCtrl()->m_hWnd);
  ::UpdateWindow(popup);
  nytest::Image composed = nytest::CaptureWindow(window.m_hWnd);
  CRect owner, popupRect;
  window.GetWindowRect(&owner);
  ::GetWindowRect(popup, &popupRect);
  if (::IsWindowVisible(popup)) {
    Paste(composed, nytest::CaptureWindow(popup), popupRect.left - owner.left, popupRect.top - owner.top);
  }
  Save(composed, "slider-edit-dropped");
  ::SendMessageA(opacity.GetSliderCtrl()->m_hWnd, WM_LBUTTONUP, 0, 0);
  window.DestroyWindow();
}

// ---- Colours ------------------------------------------------------------------------

void ColourButtonViews() {
  CWnd window;
  if (!window.CreateEx(0, nullptr, "Colour buttons", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40,
                       40, 400, 130, nullptr, nullptr)) {
    ++g_failures;
    return;
  }
  CNyColorButton red(RGB(220, 40, 40)), green(RGB(40, 170, 80)), blue(RGB(40, 80, 200)),
      off(RGB(240, 200, 0));
  red.Create("Red", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(16, 20, 96, 60), &window, 701);
  green.Create("Green", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(106, 20, 186, 60), &window, 702);
  blue.Create("Pressed", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(196, 20, 276, 60), &window, 703);
  off.Create("Disabled", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW, CRect(286, 20, 366, 60), &window,
             704);
  blue.SetState(TRUE);
  SaveWindow(window.m_hWnd, "colour-buttons");
  window.DestroyWindow();
}

// The platform's colour dialog is modal: a creation hook posts a message of
// our own to it, and a message hook sees that message come out of the
// dialog's own loop, draws and captures the dialog, and cancels it.
const UINT kCaptureMessage = ::RegisterWindowMessageA("DoRorGalleryCapture");
HHOOK g_cbtHook = nullptr, g_messageHook = nullptr;

LRESULT CALLBACK OnActivate(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) ::PostMessageA(reinterpret_cast<HWND>(wParam), kCaptureMessage, 0, 0);
  return ::CallNextHookEx(g_cbtHook, code, wParam, lParam);
}

LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam) {
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == kCaptureMessage) {
    // A modal dialog is shown once its loop first finds the queue empty,
    // which may not have happened yet: it is shown here.
    ::ShowWindow(msg->hwnd, SW_SHOWNORMAL);
    ::RedrawWindow(msg->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Save(nytest::CaptureWindow(msg->hwnd), "colour-dialog");
    ::PostMessageA(msg->hwnd, WM_COMMAND, IDCANCEL, 0);
  }
  return ::CallNextHookEx(g_messageHook, code, wParam, lParam);
}

void ColourDialogView() {
  g_cbtHook = ::SetWindowsHookExA(WH_CBT, OnActivate, nullptr, ::GetCurrentThreadId());
  g_messageHook = ::SetWindowsHookExA(WH_GETMESSAGE, OnMessage, nullptr, ::GetCurrentThreadId());
  {
    CNyColorDialog dialog(RGB(40, 80, 200));
    dialog.DoModal();
  }
  ::UnhookWindowsHookEx(g_messageHook);
  ::UnhookWindowsHookEx(g_cbtHook);
}

// ---- Striped list -------------------------------------------------------------------

void StripedListView() {
  CWnd window;
  if (!window.CreateEx(0, nullptr, "Striped list", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                       380, 240, nullptr, nullptr)) {
    ++g_failures;
    return;
  }
  CNyStripeListCtrl list;
  list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, CRect(10, 10, 356, 190), &window, 801);
  list.InsertColumn(0, "Part", LVCFMT_LEFT, 120);
  list.InsertColumn(1, "Length", LVCFMT_RIGHT, 100);
  list.InsertColumn(2, "Material", LVCFMT_LEFT, 110);
  const char* const rows[][3] = {{"Beam B-12", "1200 mm", "Steel"},    {"Column C-3", "3000 mm", "Steel"},
                                 {"Plate P-7", "450 mm", "Aluminium"}, {"Brace X-1", "2100 mm", "Steel"},
                                 {"Bolt M16", "60 mm", "Steel"},       {"Rail R-2", "5000 mm", "Steel"},
                                 {"Deck D-9", "2400 mm", "Timber"}};
  int index = 0;
  for (const auto& row : rows) {
    list.InsertItem(index, row[0]);
    list.SetItemText(index, 1, row[1]);
    list.SetItemText(index, 2, row[2]);
    ++index;
  }
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);  // selected, without the focus
  SaveWindow(window.m_hWnd, "striped-list");
  window.DestroyWindow();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: DoRorGallery <folder> [text-input]\n");
    return 2;
  }
  ::CloseHandle(::CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  g_folder = argv[1];
  if (g_folder[0] == '/' && nytest::detail::UnderWine()) g_folder = "Z:" + g_folder;
  ::CreateDirectoryA(g_folder.c_str(), nullptr);
  std::printf("Pictures into %s\n", g_folder.c_str());
  if (argc >= 3 && std::strcmp(argv[2], "text-input") == 0) {
    TextInputView();
  } else {
    ResizableViews();
    ControlViews();
    ColourButtonViews();
    ColourDialogView();
    StripedListView();
  }
  std::printf("%d pictures failed\n", g_failures);
  std::fflush(stdout);
  return g_failures == 0 ? 0 : 1;
}
