// The debug report in a real debugger loop: a child's access violation,
// first and second chance.
#include "CrashTestSupport.h"

namespace {

struct Reported {
  CString report;
  bool flag;
};

// Runs `child` (started as a debuggee) to its end and collects the report of
// every event that has one.
std::vector<Reported> DebugToEnd(const crashtest::Child& child) {
  std::vector<Reported> reports;
  for (;;) {
    DEBUG_EVENT event;
    if (!::WaitForDebugEvent(&event, crashtest::kChildTimeoutMs)) {
      ADD_FAILURE() << "no debug event in time";
      break;
    }
    Reported r;
    NyCrashHandler::CheckExceptionEvent(event, child.Info(), r.report, r.flag);
    if (!r.report.IsEmpty()) reports.push_back(r);
    DWORD status = DBG_CONTINUE;
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) ::CloseHandle(event.u.CreateProcessInfo.hFile);
    if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) ::CloseHandle(event.u.LoadDll.hFile);
    if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
        event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
      status = DBG_EXCEPTION_NOT_HANDLED;
      // After the second chance the child would only be ended.
      if (!event.u.Exception.dwFirstChance) ::TerminateProcess(child.Info().hProcess, 7);
    }
    ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) break;
  }
  return reports;
}

}  // namespace

TEST(DebugLoop, AccessViolationFirstAndSecondChance) {
  crashtest::Child child({"plain", "0"}, DEBUG_ONLY_THIS_PROCESS);
  ASSERT_TRUE(child.Started());
  const std::vector<Reported> reports = DebugToEnd(child);
  ASSERT_EQ(reports.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const std::string text = reports[i].report.GetString();
    const std::string head = "---EXCEPTION_DEBUG_EVENT---\n    BaseName NyCrashChild\n    dwProcessId " +
                             std::to_string(child.Info().dwProcessId) + "\n    dwThreadId " +
                             std::to_string(child.Info().dwThreadId) + "\n    dwFirstChance " +
                             (i == 0 ? "1" : "0") + "\n    ---EXCEPTION_RECORD---\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("        ExceptionCode 0xc0000005\n"), std::string::npos) << text;
    // The write to address 0: parameters 1 (a write) and 0.
    EXPECT_NE(text.find("        NumberParameters 2\n        ExceptionInformation[0] 0x1\n"
                        "        ExceptionInformation[1] 0x0\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(reports[i].flag);
  }
}
