// The dialog framework in the demo host: the text-input dialog replayed by
// the host's hooks, NyMessageBox with the skip switch and a caption of its
// own, and a dialog's position saved and restored.
#include <cstdio>
#include <string>
#include <vector>

#include "DemoSupport.h"

namespace {

using demo::ToTerminal;

// Message boxes are printed and answered here, as a host's test harness
// would; a real box is shown only when asked for.
class DemoApp : public CWinApp {
 public:
  DemoApp() : CWinApp("DoRor demo") {}
  bool realBoxes = false;
  int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override {
    std::printf("    message box (style 0x%02X): \"%s\"\n", nType, ToTerminal(lpszPrompt).c_str());
    if (realBoxes) return CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    return (nType & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
  }
};
DemoApp theApp;

std::wstring WindowText(HWND hWnd) {
  wchar_t text[256] = L"";
  ::GetWindowTextW(hWnd, text, 256);
  return text;
}

// ---- The text-input dialog, replayed -------------------------------------------------

// What the replay enters at each call: first nothing (the dialog warns and
// stays open), then a name.
const char* const kEntries[] = {"", "Report 2026"};
size_t g_replayStep = 0;

bool AlwaysAutoRunning() { return true; }

bool ReplayTextInput(CNyDialog* dialog, UINT id, __int64& result) {
  HWND hWnd = dialog->GetSafeHwnd();
  if (g_replayStep == 0) {
    char text[256] = "";
    ::GetDlgItemTextA(hWnd, 2000, text, sizeof text);
    const DWORD selection = static_cast<DWORD>(::SendDlgItemMessageA(hWnd, 2000, EM_GETSEL, 0, 0));
    std::printf("  dialog %u shows: caption \"%s\", label \"%s\", buttons \"%s\" and \"%s\"\n", id,
                ToTerminal(WindowText(hWnd).c_str()).c_str(),
                ToTerminal(WindowText(::GetDlgItem(hWnd, 2001)).c_str()).c_str(),
                ToTerminal(WindowText(::GetDlgItem(hWnd, IDOK)).c_str()).c_str(),
                ToTerminal(WindowText(::GetDlgItem(hWnd, IDCANCEL)).c_str()).c_str());
    std::printf("  the edit box holds \"%s\", characters %u to %u selected\n", text, LOWORD(selection),
                HIWORD(selection));
  }
  const char* entry = kEntries[g_replayStep < 1 ? g_replayStep : 1];
  std::printf("  replay %zu: enters \"%s\" and presses OK\n", g_replayStep + 1, entry);
  ::SetDlgItemTextA(hWnd, 2000, entry);
  result = IDOK;
  ++g_replayStep;
  return true;
}

bool PrintCapture(CNyDialog*, UINT id, __int64& result) {
  std::printf("  capture hook: dialog %u ended with %lld\n", id, static_cast<long long>(result));
  return true;
}

// ---- Message boxes ----------------------------------------------------------------------

// Confirms the real box once it is up, noting its caption.
HHOOK g_confirmHook = nullptr;
std::string g_boxCaption;

LRESULT CALLBACK ConfirmBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    char name[16] = "";
    ::GetClassNameA(hWnd, name, sizeof name);
    if (std::string(name) == "#32770") {
      g_boxCaption = ToTerminal(WindowText(hWnd).c_str());
      ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    }
  }
  return ::CallNextHookEx(g_confirmHook, code, wParam, lParam);
}

void ShowMessageBoxes() {
  std::printf("\nNyMessageBox\n");
  CNyDialog::SetSkipDialog(true);
  std::printf("  with the skip switch on, a plain OK box:\n");
  int result = NyMessageBox("Saved.", "Demo", MB_ICONINFORMATION);
  std::printf("    not shown, answered %d\n", result);
  std::printf("  a yes/no box is shown all the same:\n");
  result = NyMessageBox("Overwrite the file?", "Demo", MB_YESNO | MB_ICONQUESTION);
  std::printf("    answered %d (IDYES)\n", result);
  CNyDialog::SetSkipDialog(false);

  std::printf("  a real box with the caller's caption, confirmed by a hook:\n");
  theApp.realBoxes = true;
  g_confirmHook = ::SetWindowsHookExA(WH_CBT, ConfirmBox, nullptr, ::GetCurrentThreadId());
  result = NyMessageBox("The caption comes from the caller.", "Caption of the caller", MB_OK);
  ::UnhookWindowsHookEx(g_confirmHook);
  theApp.realBoxes = false;
  std::printf("    its caption was \"%s\", answered %d\n", g_boxCaption.c_str(), result);
}

// ---- Saved position -------------------------------------------------------------------

void PrintRect(const char* label, CWnd& wnd) {
  CRect r;
  wnd.GetWindowRect(&r);
  std::printf("  %-34s (%ld, %ld) - (%ld, %ld)\n", label, r.left, r.top, r.right, r.bottom);
}

void ShowSavedPosition() {
  std::printf("\nA dialog's saved position (user configuration %s\\%s)\n",
              ToTerminal(NyGetUserConfigPathT()).c_str(), ToTerminal(NyGetUserConfigFileNameT()).c_str());
  CNyDialog::SetHideModelessDialog(true);
  CNyDialog dialog(201);
  if (!dialog.DoModeless(false)) return;
  dialog.MoveWindow(150, 120, 320, 220);
  PrintRect("the dialog", dialog);
  std::printf("  SaveDialogPos(\"DemoDialog\", true) %s; the keys written:\n",
              dialog.SaveDialogPos("DemoDialog", true) ? "succeeded" : "failed");
  for (const char* key :
       {"PositionX", "PositionY", "SizeX", "SizeY", "PositionFromParentX", "PositionFromParentY"}) {
    long value = 0;
    if (NyReadUserConfig("DemoDialog", key, value)) std::printf("    %-20s %ld\n", key, value);
  }
  dialog.MoveWindow(10, 10, 200, 100);
  PrintRect("moved away", dialog);
  std::printf("  RestoreDialogPos: %s\n",
              dialog.RestoreDialogPos("DemoDialog", true) ? "moved back" : "unchanged");
  PrintRect("restored", dialog);
  // A position saved on a monitor that is gone comes back onto the work area.
  NyWriteUserConfig("DemoDialog", "PositionX", 5000L);
  NyWriteUserConfig("DemoDialog", "PositionY", -3000L);
  std::printf("  with PositionX 5000 and PositionY -3000 saved, RestoreDialogPos: %s\n",
              dialog.RestoreDialogPos("DemoDialog", true) ? "moved" : "unchanged");
  PrintRect("kept on the work area", dialog);
  dialog.EndModeless();
  CNyDialog::SetHideModelessDialog(false);
}

}  // namespace

int demo::TextInputDemo() {
  const LANGID language = PRIMARYLANGID(::GetUserDefaultUILanguage());
  std::printf("\nThe text-input dialog, replayed by the host's hooks (user interface: %s)\n",
              language == LANG_JAPANESE ? "Japanese"
              : language == LANG_GERMAN ? "German"
                                        : "English");
  CNyDialog::SetIsAutoRunningFunction(AlwaysAutoRunning);
  CNyDialog::SetAutoRunNyDialogFunc(ReplayTextInput);
  CNyDialog::SetCaptureNyDialogFunc(PrintCapture);
  g_replayStep = 0;
  CNyGetStringDialog dialog;
  dialog.SetTitle("Rename");
  dialog.SetLabel("Name");
  dialog.SetDefaultName("Draft");
  const INT_PTR result = dialog.DoModal();
  std::printf("  DoModal returned %lld; GetString gives \"%s\"\n", static_cast<long long>(result),
              dialog.GetString());
  CNyDialog::SetIsAutoRunningFunction(nullptr);
  CNyDialog::SetAutoRunNyDialogFunc(nullptr);
  CNyDialog::SetCaptureNyDialogFunc(nullptr);
  return result == IDOK ? 0 : 1;
}

void demo::ShowNyDialogs() {
  TextInputDemo();
  ShowMessageBoxes();
  ShowSavedPosition();
}
