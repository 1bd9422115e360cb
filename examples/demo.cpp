// DoRor demo host: loads the DLL and prints what a host sees at start-up.
#include <windows.h>

#include <dbghelp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DemoSupport.h"
#include "DoRor.h"

namespace {

using demo::ToTerminal;

// What the configuration counting callback saw: flushes, reads, writes.
long g_seen[3] = {0, 0, 0};
void CountAccess(long kind) {
  if (kind >= 0 && kind <= 2) ++g_seen[kind];
}

// Prints a text file's lines, indented, for the terminal.
void PrintFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return;
  char line[4096];
  while (std::fgets(line, sizeof line, file)) {
    line[std::strcspn(line, "\r\n")] = '\0';
    std::printf("    %s\n", ToTerminal(line).c_str());
  }
  std::fclose(file);
}

void Show(const char* label, const char* text) {
  std::printf("  %-34s %s\n", label, ToTerminal(text).c_str());
}

// ---- Crashes ----------------------------------------------------------------
// The demo starts itself again as the crashing child ("crash KIND FOLDER")
// and as a debuggee that faults ("fault").

void BeforeDump() {
  std::printf("    child, first callback: writing %s\n", NyCrashHandler::GetDumpFilePathName());
  std::fflush(stdout);
}
void AfterDump() {
  std::printf("    child, second callback: dump written, exit code 1 follows\n");
  std::fflush(stdout);
}

int CrashingChild(int kind, const char* folder) {
  NyCrashHandler::Initialize(folder, BeforeDump, AfterDump);
  NyCrashHandler::SetProcessExceptionHandlers();
  NyCrashHandler::SetThreadExceptionHandlers();
  NyCrashHandler::ExceptionTest(kind);
  return 0;
}

std::string OwnPath() {
  char path[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// The size of a dump and its exception code, read back with dbghelp.
bool DumpExceptionCode(const std::string& path, DWORD* code, size_t* length) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::string bytes;
  char chunk[65536];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
  std::fclose(file);
  *length = bytes.size();
  MINIDUMP_DIRECTORY* directory = nullptr;
  void* stream = nullptr;
  ULONG size = 0;
  if (!::MiniDumpReadDumpStream(&bytes[0], ExceptionStream, &directory, &stream, &size)) return false;
  *code = static_cast<MINIDUMP_EXCEPTION_STREAM*>(stream)->ExceptionRecord.ExceptionCode;
  return true;
}

void ShowCrashes() {
  std::printf("\nCrashes\n");
  char base[MAX_PATH] = "";
  ::GetTempPathA(MAX_PATH, base);
  const std::string folder = std::string(base) + "DoRorDemoDumps";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  // A child that raises structured exception 123 under the handler.
  NyCommandLine crash(OwnPath().c_str());
  crash.AddArgument("crash");
  crash.AddArgument("12");
  crash.AddArgument(folder.c_str());
  int exitCode = -1;
  crash.Execute();
  crash.WaitExit(&exitCode);
  std::printf("  %-34s %d\n", "child's exit code", exitCode);
  CFileFind find;
  for (BOOL more = find.FindFile((folder + "\\*.dmp").c_str()); more;) {
    more = find.FindNextFile();
    const std::string path = find.GetFilePath().GetString();
    DWORD code = 0;
    size_t length = 0;
    const bool read = DumpExceptionCode(path, &code, &length);
    std::printf("  %-34s %s\n", "dump", find.GetFileName().GetString());
    std::printf("  %-34s %zu bytes, exception code %s%lu\n", "", length, read ? "" : "(unreadable) ",
                static_cast<unsigned long>(code));
    ::DeleteFileA(path.c_str());
  }
  find.Close();
  ::RemoveDirectoryA(folder.c_str());

  // A child that writes through a null pointer, run under a debugger loop.
  std::string command = "\"" + OwnPath() + "\" fault";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        nullptr, &startup, &child)) {
    return;
  }
  std::printf("  the debugger loop's report of the child's access violation:\n");
  for (bool running = true; running;) {
    DEBUG_EVENT event;
    if (!::WaitForDebugEvent(&event, 30000)) break;
    CString report;
    bool worth = false;
    NyCrashHandler::CheckExceptionEvent(event, child, report, worth);
    DWORD status = DBG_CONTINUE;
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) ::CloseHandle(event.u.CreateProcessInfo.hFile);
    if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) ::CloseHandle(event.u.LoadDll.hFile);
    if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
        event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
      // The first chance is shown; after it the child is ended.
      std::printf("%s    (worth reporting: %s)\n", report.GetString(), worth ? "yes" : "no");
      ::TerminateProcess(child.hProcess, 1);
    }
    ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    running = event.dwDebugEventCode != EXIT_PROCESS_DEBUG_EVENT;
  }
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
}

// ---- A resizable dialog ------------------------------------------------------

constexpr UINT WM_DEMO_RUN = WM_APP + 1;

class CResizableDemoDlg : public CDialogEx, public CNyWndResizeHelper {
 public:
  CResizableDemoDlg() : CDialogEx(201) {}

 protected:
  BOOL OnInitDialog() override {
    CDialogEx::OnInitDialog();
    SetAnchor(2001, ANCHOR_TOP | ANCHOR_BOTTOM | ANCHOR_LEFT | ANCHOR_RIGHT);
    SetAnchor(2002, ANCHOR_BOTTOM | ANCHOR_LEFT | ANCHOR_RIGHT);
    SetAnchor(IDOK, ANCHOR_BOTTOM | ANCHOR_RIGHT);
    SetAnchor(IDCANCEL, ANCHOR_BOTTOM | ANCHOR_RIGHT);
    SetMinimumSize(250, 180);
    PostMessage(WM_DEMO_RUN);
    return TRUE;
  }
  afx_msg void OnSize(UINT nType, int cx, int cy) {
    CDialogEx::OnSize(nType, cx, cy);
    OnSizeHelper(cx, cy);
  }
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
    CDialogEx::OnGetMinMaxInfo(lpMMI);
    OnGetMinMaxInfoHelper(lpMMI);
  }
  // Resizes through a few sizes (the last one below the minimum), prints
  // the controls at each, then closes.
  afx_msg LRESULT OnRun(WPARAM, LPARAM) {
    const SIZE sizes[] = {{400, 260}, {600, 300}, {320, 400}, {100, 100}};
    for (const SIZE& size : sizes) {
      SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
      CRect window, client;
      GetWindowRect(&window);
      GetClientRect(&client);
      std::printf("  window %d x %d (asked %ld x %ld), client %d x %d\n", window.Width(), window.Height(),
                  size.cx, size.cy, client.Width(), client.Height());
      for (int id : {2001, 2002, IDOK, IDCANCEL}) {
        CRect r;
        GetDlgItem(id)->GetWindowRect(&r);
        ScreenToClient(&r);
        std::printf("    control %-5d (%4ld, %4ld) - (%4ld, %4ld)\n", id, r.left, r.top, r.right, r.bottom);
      }
    }
    MONITORINFO monitor = {};
    if (NyGetBelongingMonitorInfo(this, monitor)) {
      std::printf("  %-34s (%ld, %ld) - (%ld, %ld), work area bottom %ld\n", "the dialog's monitor",
                  monitor.rcMonitor.left, monitor.rcMonitor.top, monitor.rcMonitor.right,
                  monitor.rcMonitor.bottom, monitor.rcWork.bottom);
    }
    EndDialog(IDOK);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CResizableDemoDlg, CDialogEx)
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_MESSAGE(WM_DEMO_RUN, OnRun)
END_MESSAGE_MAP()

void ShowDialogs() {
  std::printf("\nA resizable dialog (toolkit stand-in and resize helper)\n");
  CResizableDemoDlg dialog;
  const INT_PTR result = dialog.DoModal();
  std::printf("  %-34s %s\n", "closed with", result == IDOK ? "IDOK" : "something else");
  for (const CPoint& point : {CPoint(10, 10), CPoint(-5000, 300)}) {
    MONITORINFO monitor = {};
    if (NyGetBelongingMonitorInfo(point, monitor)) {
      char label[64];
      std::snprintf(label, sizeof label, "the monitor of the point (%ld, %ld)", point.x, point.y);
      std::printf("  %-34s (%ld, %ld) - (%ld, %ld)\n", label, monitor.rcMonitor.left, monitor.rcMonitor.top,
                  monitor.rcMonitor.right, monitor.rcMonitor.bottom);
    }
  }
  MONITORINFO monitor = {};
  if (NyGetBelongingMonitorInfo(CRect(3000, 3000, 3200, 3100), monitor)) {
    std::printf("  %-34s (%ld, %ld) - (%ld, %ld)\n", "the monitor of a rectangle off screen",
                monitor.rcMonitor.left, monitor.rcMonitor.top, monitor.rcMonitor.right,
                monitor.rcMonitor.bottom);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "crash") == 0) return CrashingChild(std::atoi(argv[2]), argv[3]);
  if (argc >= 2 && std::strcmp(argv[1], "text-input") == 0) return demo::TextInputDemo();
  if (argc >= 2 && std::strcmp(argv[1], "fault") == 0) {
    NyCrashHandler::ExceptionTest(0);
    return 0;
  }

  std::printf("DoRor demo host (ANSI code page %u)\n\n", ::GetACP());

  // A host fixes its identity early: postfix first, then names, then folders.
  NySetApplicationPriorConfigFilePostfixT(nullptr);
  NySetCompanyName("Acme");
  NySetApplicationName("Viewer");
  NySetApplicationConfigFileNameT("App.ini");

  std::printf("Identity\n");
  Show("module name", NyGetModuleName());
  Show("module folder", NyGetModulePath());
  Show("company / application", (std::string(NyGetCompanyName()) + " / " + NyGetApplicationName()).c_str());
  std::printf("\nFolders\n");
  Show("base folder", NyGetBasePath());
  Show("default configuration folder", NyGetDefaultConfigPath());
  Show("user configuration folder", NyGetUserConfigPath());
  std::printf("\nConfiguration files\n");
  Show("application configuration file", NyGetApplicationConfigFileName());
  Show("prior configuration file", NyGetApplicationPriorConfigFileName());
  Show("user configuration file", NyGetUserConfigFileNameT());

  // Configuration layers. The shipped defaults live in the default folder:
  // App.ini, overridden by the prior file AppDefault.ini. The user's own
  // settings live in the user folder and fall back to the defaults.
  NyWriteDefaultConfigT("View", "Zoom", 100);                    // App.ini
  NyWriteDefaultConfigT("View", "Zoom", 150, "AppDefault.ini");  // the prior file
  NyWriteDefaultConfigT("View", "Units", "mm");
  NyWriteUserConfigT("Window", "Width", 1280L);
  NyWriteUserConfigT("Window", "Ratio", 0.75);

  int zoomApp = 0, zoom = 0, userZoom = 0;
  long width = 0;
  double ratio = 0;
  char units[1024] = "";
  NyReadDefaultConfigT("View", "Zoom", zoomApp, "App.ini");
  NyReadDefaultConfigT("View", "Zoom", zoom);
  bool widthFound = NyReadUserConfigT("Window", "Width", width);
  NyReadUserConfigT("Window", "Ratio", ratio);
  bool userZoomFound = NyReadUserConfigT("View", "Zoom", userZoom, nullptr, true);
  bool unitsFound = NyReadUserConfigT("View", "Units", units);
  std::printf("\nConfiguration layers\n");
  std::printf("  %-34s %d\n", "View/Zoom in App.ini", zoomApp);
  std::printf("  %-34s %d (the prior file wins)\n", "View/Zoom, default layer", zoom);
  std::printf("  %-34s %ld (%s)\n", "Window/Width, user layer", width, widthFound ? "user file" : "missing");
  std::printf("  %-34s %g\n", "Window/Ratio, user layer", ratio);
  std::printf("  %-34s %d (%s)\n", "View/Zoom, user with fall-back", userZoom,
              userZoomFound ? "from the defaults" : "missing");
  std::printf("  %-34s %s (%s)\n", "View/Units, user with fall-back", units,
              unitsFound ? "from the defaults" : "missing");

  // The cache: files stay in memory, changes reach the disk at the flush.
  NySetConfigCacheCountFunc(CountAccess);
  NySetUseConfigCache(true);
  long sum = 0;
  for (int i = 0; i < 300; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "Item%d", i % 60);
    NyWriteUserConfigT("Recent", key, static_cast<long>(i));
    long stored = 0;
    if (NyReadUserConfigT("Recent", key, stored)) sum += stored;
  }
  bool flushed = NyFlashConfigCache();
  NySetUseConfigCache(false);
  NySetConfigCacheCountFunc(nullptr);
  std::printf("\nConfiguration cache\n");
  std::printf("  %-34s %ld reads, %ld writes, %ld flush%s\n", "counting callback saw", g_seen[1], g_seen[2],
              g_seen[0], g_seen[0] == 1 ? "" : "es");
  std::printf("  %-34s %s (sum of values read %ld)\n", "flush wrote every file", flushed ? "yes" : "no", sum);

  // Localized texts. The default configuration names the string-pool folder
  // (taken against the base folder); texts missing in a language fall back
  // to the default language, and a preferential pool overrides single texts.
  NyWriteDefaultConfigT("StringPool", "Path", "StringPool");
  NySetStringPoolDefaultLanguage("ENG");
  NyAddPreferentialStringPoolT("Demo", "Custom");
  std::printf("\nString pool (%s)\n", ToTerminal(NyGetStringPoolPathT()).c_str());
  const struct {
    const char* section;
    const char* key;
  } texts[] = {{"Menu", "File"},      {"Menu", "Open"},      {"Menu", "View"},       {"Menu", "Exit"},
               {"Messages", "Saved"}, {"Messages", "Lines"}, {"Messages", "Missing"}};
  for (const char* language : {"ENG", "DEU", "JPN"}) {
    NySetStringPoolLanguage(language);
    std::printf("  %s\n", language);
    for (const auto& text : texts) {
      // Escapes are resolved: show tabs and line feeds as such.
      std::string shown = ToTerminal(NyLoadStringT("Demo", text.section, text.key));
      for (size_t at = 0; (at = shown.find_first_of("\t\n", at)) != std::string::npos;) {
        shown.replace(at, 1, shown[at] == '\t' ? "<tab>" : "<line feed>");
      }
      std::printf("    %-16s %s\n", (std::string(text.section) + "/" + text.key).c_str(), shown.c_str());
    }
  }
  std::printf(
      "  (ENG Menu/Exit comes from the preferential pool Custom; DEU Messages/Lines falls\n"
      "   back to the default language ENG; Messages/Missing exists nowhere)\n");

  // Data utilities: version and system information, units, a CSV line.
  char dll[MAX_PATH] = "";
  ::GetModuleFileNameA(::GetModuleHandleA("DoRor.dll"), dll, MAX_PATH);
  int version[4] = {0, 0, 0, 0};
  CString product = NyGetExeProductVersion(dll, version);
  unsigned long osMajor = 0, osMinor = 0;
  NyGetOSVersion(osMajor, osMinor);
  std::printf("\nData utilities\n");
  std::printf("  %-34s %s (%d.%d.%d.%d)\n", "DoRor.dll product version", product.GetString(), version[0],
              version[1], version[2], version[3]);
  std::printf("  %-34s %lu.%lu\n", "system version", osMajor, osMinor);
  std::printf("  %-34s %d\n", "today", NyGetCurrentDate());
  const double length = 254.0, area = 645.16;  // millimetres, square millimetres
  for (DisplayUnit unit : {DISPLAY_UNIT_MM, DISPLAY_UNIT_INCH}) {
    NySetDisplayUnit(unit);
    std::printf("  %-34s %g %s, %g %s\n",
                unit == DISPLAY_UNIT_MM ? "254 mm, 645.16 mm2 shown in mm" : "... in inches",
                NyConvDisplayUnit(length), NyGetDisplayUnitString(), NyConvDisplayUnitSquare(area),
                NyGetDisplayUnitSquareString());
  }
  NySetDisplayUnit(DISPLAY_UNIT_MM);
  const std::string csv = "Part-7,\"Bolt, M8\",\"12\"\" long\",,42";
  CNyCsvTextLine fields(csv);
  std::printf("  %-34s %s\n", "CSV line", csv.c_str());
  for (int i = 0; i < fields.NumOfFields(); ++i) {
    std::printf("    field %d  [%s]\n", i, fields.Field(i).c_str());
  }

  // A child process with its output captured.
  NyCommandLine command("cmd.exe");
  command.SetEscapeChars(false);  // cmd.exe reads its own command line
  command.AddArgument("/c");
  command.AddArgument("ver");
  CString output("captured: ");
  command.SetBufferForStdout(&output);
  bool started = command.Execute();
  int exitCode = -1;
  bool waited = command.WaitExit(&exitCode);
  std::printf("\nChild process\n");
  std::printf("  %-34s %s\n", "command line", command.ToString().GetString());
  std::printf("  %-34s %s, exit code %d\n", "started / waited", started && waited ? "yes" : "no", exitCode);
  std::string text(output.GetString());
  for (size_t at = 0; (at = text.find_first_of("\r\n", at)) != std::string::npos;) text.erase(at, 1);
  std::printf("  %-34s %s\n", "output", text.c_str());
  NyCommandLine quoted("C:\\Tools\\my app.exe");
  quoted.AddArgument("-o");
  quoted.AddArgument("say \"hi\"");
  quoted.AddArgument("C:\\dir\\");
  std::printf("  %-34s %s\n", "a quoted command line", quoted.ToString().GetString());

  // This process's temporary folder, a tree copied and removed in it, and a
  // shortcut written and read back.
  std::printf("\nTemporary folders, folder trees and shortcuts\n");
  const std::string temp = NyGetTempPathT() ? NyGetTempPathT() : "";
  Show("process temporary folder", temp.c_str());
  std::printf("  %-34s %.0f MiB\n", "free on its volume", NyGetAvailableTempDiskSize());
  const std::string tree = temp + "\\tree", copy = temp + "\\copy";
  NyCreateDirectoriesT((tree + "\\sub").c_str());
  for (const char* file : {"\\a.txt", "\\sub\\b.txt"}) {
    if (FILE* f = std::fopen((tree + file).c_str(), "w")) std::fclose(f);
  }
  const bool copied = NyCopyDirectoryT(tree.c_str(), copy.c_str());
  const bool copiedFile = NyIsFileExistT((copy + "\\sub\\b.txt").c_str());
  std::printf("  %-34s %s\n", "tree copied", copied && copiedFile ? "yes, sub\\b.txt is there" : "no");
  const bool removed = NyRemoveDirectoryT(copy.c_str()) && NyRemoveDirectoryT(tree.c_str());
  std::printf("  %-34s %s\n", "both trees removed", removed ? "yes" : "no");
  CString shortcut((temp + "\\Demo folder").c_str()), target;
  const bool written = NyCreateShortcut(temp.c_str(), shortcut);
  const bool read = NyGetShortcutTargetPath(shortcut, target);
  Show("shortcut written", written ? shortcut.GetString() : "(failed)");
  Show("its target, read back", read ? target.GetString() : "(failed)");

  // A nested transaction logged to a file, two flag-log lines in the work
  // folder, and a stopwatch report.
  std::printf("\nLogs and stopwatches\n");
  const std::string logFile = temp + "\\demo.log";
  CNyLog::SetLogFileName(logFile);
  {
    CNyLog log(CNyLog::STATUS_OK);
    log.StartTransaction("Load");
    log.StartTransaction("Parse");
    log.EndTransaction(CNyLog::STATUS_ERROR);
  }  // the destructor ends Load with the default status
  for (int round = 0; round < 3; ++round) {
    CNyCountTime watch("Demo", "free-space queries", true);
    for (int i = 0; i < 500; ++i) NyGetAvailableTempDiskSize();
    watch.Stop();
    CNyCountTime shortcuts("Demo", "shortcut round trips", true);
    for (int i = 0; i < 10; ++i) {
      CString again((temp + "\\Again").c_str()), back;
      NyCreateShortcut(temp.c_str(), again);
      NyGetShortcutTargetPath(again, back);
    }
  }
  CNyCountTime::PrintResult("Demo", false);
  CNyLog::UnsetLogFileName();
  std::printf("  the log file %s holds:\n", ToTerminal(logFile.c_str()).c_str());
  PrintFile(logFile);
  NyFlgWriteLog(1, "demo started");
  NyFlgWriteLog2(2.5, "demo half way");
  Show("flag-log work folder", NyFlgGetWork());
  const CString flagLog =
      NyFlgGetWork() + "\\FlgLog" + std::to_string(::GetCurrentProcessId()).c_str() + ".txt";
  std::printf("  the flag log holds (elapsed s, working set, peak, page file, peak, value, text):\n");
  PrintFile(flagLog.GetString());
  NyFlgClearLog();
  std::printf("  %-34s %s\n", "temporary folders of ended processes erased",
              NyEraseUnusedTempFiles(true) ? "yes, ours too" : "no");

  ShowCrashes();
  ShowDialogs();
  demo::ShowNyDialogs();
  demo::ShowNyControls();

  // A Shift-JIS path whose characters end in the byte 0x5C: \x95\x5C is the
  // character for "table", \x83\x5C the katakana "so". A byte-wise scan would
  // split inside them; the library steps over them.
  const char* sample = "C:\\Tools\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67.ini";
  char folder[MAX_PATH] = "";
  char name[MAX_PATH] = "";
  int rc = NySplitFileNameT(sample, folder, name);
  std::printf("\nDouble-byte-aware split (code %d)\n", rc);
  Show("path", sample);
  Show("folder", folder);
  Show("file name", name);
  return 0;
}
