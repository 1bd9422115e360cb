// Starting, capturing, polling, waiting for and killing real children.
#include <chrono>
#include <string>
#include <vector>

#include "ProcessTestSupport.h"

using nytest::Child;

namespace {

// Polls until the child has ended, for at most ten seconds.
bool PollUntilExited(NyCommandLine& line) {
  for (int i = 0; i < 1000; ++i) {
    bool exited = false;
    if (!line.CheckExit(&exited)) return false;
    if (exited) return true;
    ::Sleep(10);
  }
  return false;
}

// Waits for at most `ms` instead of without limit.
class ImpatientCommandLine : public NyCommandLine {
public:
  using NyCommandLine::NyCommandLine;
  DWORD m_ms = 0;

protected:
  bool OnWaitExit() override { return ::WaitForSingleObject(m_hProcess, m_ms) == WAIT_OBJECT_0; }
};

}  // namespace

TEST(Execute, CapturesBothStreamsAfterTheCallersText) {
  NyCommandLine line = Child({"out", "hello", "err", "world", "out", "again", "exit", "3"});
  CString output("before\n");
  line.SetBufferForStdout(&output);
  ASSERT_TRUE(line.Execute());
  EXPECT_EQ(output, "before\nhello\nworld\nagain\n");
  EXPECT_TRUE(line.IsExecuting());  // until an exit is observed
  int code = 0;
  ASSERT_TRUE(line.WaitExit(&code));
  EXPECT_EQ(code, 3);
  EXPECT_EQ(line.GetExitCode(), 3);
  EXPECT_FALSE(line.IsExecuting());

  // The same object starts again; Clear kept the buffer, and without one
  // nothing is captured.
  line.Clear();
  line.SetExeName(nytest::ChildExe().c_str());
  line.AddArgument("out");
  line.AddArgument("more");
  ASSERT_TRUE(line.Execute());
  ASSERT_TRUE(line.WaitExit(nullptr));
  EXPECT_EQ(output, "before\nhello\nworld\nagain\nmore\n");
  line.SetBufferForStdout(nullptr);
  line.Clear();
  line.SetExeName(nytest::ChildExe().c_str());
  ASSERT_TRUE(line.Execute());
  ASSERT_TRUE(line.WaitExit(nullptr));
  EXPECT_EQ(output, "before\nhello\nworld\nagain\nmore\n");
}

TEST(Execute, ExitCodes) {
  for (int expected : {0, 1, 255, 70000, -1, -1073741819}) {
    NyCommandLine line = Child({"exit", std::to_string(expected)});
    ASSERT_TRUE(line.Execute());
    int code = 12345;
    ASSERT_TRUE(line.WaitExit(&code)) << expected;
    EXPECT_EQ(code, expected);
    EXPECT_EQ(line.GetExitCode(), expected);
  }
  // 259 is the platform's "still active": the wait ends, the poll does not
  // believe it, and the handle stays until it is released.
  NyCommandLine line = Child({"exit", "259"});
  ASSERT_TRUE(line.Execute());
  int code = 12345;
  EXPECT_FALSE(line.WaitExit(&code));
  EXPECT_EQ(code, 12345);
  bool exited = true;
  EXPECT_TRUE(line.CheckExit(&exited));
  EXPECT_FALSE(exited);
  EXPECT_TRUE(line.IsExecuting());
  line.Clear();
  EXPECT_FALSE(line.IsExecuting());
}

TEST(Execute, PollingAndWaitingChangeState) {
  NyCommandLine line = Child({"sleep", "400", "exit", "7"});
  EXPECT_FALSE(line.CheckExit(nullptr));
  bool exited = false;
  ASSERT_TRUE(line.CheckExit(&exited));  // idle counts as exited
  EXPECT_TRUE(exited);
  int code = 99;
  ASSERT_TRUE(line.WaitExit(&code));     // idle: at once, the stored code
  EXPECT_EQ(code, 0);

  ASSERT_TRUE(line.Execute());
  CString output("kept");
  line.SetBufferForStdout(&output);
  EXPECT_FALSE(line.Execute());  // one child at a time
  EXPECT_EQ(output, "kept");
  ASSERT_TRUE(line.CheckExit(&exited));
  EXPECT_FALSE(exited);
  EXPECT_FALSE(line.CheckExit(nullptr));
  EXPECT_TRUE(line.IsExecuting());

  ASSERT_TRUE(PollUntilExited(line));
  EXPECT_FALSE(line.IsExecuting());
  EXPECT_EQ(line.GetExitCode(), 7);
  exited = false;
  ASSERT_TRUE(line.CheckExit(&exited));
  EXPECT_TRUE(exited);
  EXPECT_EQ(line.GetExitCode(), 7);
}

TEST(Execute, WaitHookDecides) {
  ImpatientCommandLine line(nytest::ChildExe().c_str());
  line.AddArgument("sleep");
  line.AddArgument("500");
  line.AddArgument("exit");
  line.AddArgument("5");
  ASSERT_TRUE(line.Execute());
  line.m_ms = 0;
  int code = -1;
  EXPECT_FALSE(line.WaitExit(&code));  // the hook gave up: still held
  EXPECT_EQ(code, -1);
  EXPECT_TRUE(line.IsExecuting());
  line.m_ms = 10000;
  ASSERT_TRUE(line.WaitExit(&code));
  EXPECT_EQ(code, 5);
  EXPECT_FALSE(line.IsExecuting());
}

TEST(Execute, TerminateAndCopiesShareTheChild) {
  NyCommandLine line = Child({"sleep", "30000"});
  line.Terminate(1);  // idle: nothing
  EXPECT_EQ(line.GetExitCode(), 0);
  ASSERT_TRUE(line.Execute());

  NyCommandLine copy(line);
  NyCommandLine assigned = Child({"sleep", "30000"});
  ASSERT_TRUE(assigned.Execute());
  NyCommandLine other(assigned);  // keeps that child to kill it at the end
  assigned = line;                // drops its own child, takes this one
  EXPECT_TRUE(copy.IsExecuting());
  EXPECT_TRUE(assigned.IsExecuting());
  EXPECT_EQ(std::string(assigned.GetExeName()), nytest::ChildExe());

  const auto start = std::chrono::steady_clock::now();
  line.Terminate(42);
  EXPECT_FALSE(line.IsExecuting());
  EXPECT_EQ(line.GetExitCode(), 0);  // Terminate does not store its code
  int code = 0;
  ASSERT_TRUE(copy.WaitExit(&code));
  EXPECT_EQ(code, 42);
  ASSERT_TRUE(assigned.WaitExit(&code));
  EXPECT_EQ(code, 42);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

  EXPECT_TRUE(other.IsExecuting());
  other.Terminate(0);
  EXPECT_FALSE(other.IsExecuting());
}

TEST(Execute, WorkingFolder) {
  nytest::TempFolder temp;
  NyCommandLine line = Child({"cwd"});
  CString output;
  line.SetBufferForStdout(&output);
  line.SetCurrentDirectoryPath(temp.Path().c_str());
  ASSERT_TRUE(line.Execute());
  ASSERT_TRUE(line.WaitExit(nullptr));
  EXPECT_EQ(std::string(output.GetString()), temp.Path() + "\n");

  // Empty: the caller's folder at the time of Execute.
  output.Empty();
  line.SetCurrentDirectoryPath("");
  ASSERT_TRUE(line.Execute());
  ASSERT_TRUE(line.WaitExit(nullptr));
  EXPECT_EQ(std::string(output.GetString()), nytest::WorkingDirectory() + "\n");
  EXPECT_EQ(line.GetCurrentDirectoryPath(), "");
}

TEST(Execute, RefusesWhatCannotStart) {
  nytest::TempFolder temp;
  const std::string child = nytest::ChildExe();
  for (bool capture : {false, true}) {
    for (bool escape : {false, true}) {
      CString output("x");
      const struct { const char* exe; std::string folder; } cases[] = {
          {"", ""},
          {nullptr, ""},
          {"C:\\no\\such\\program.exe", ""},
          {"no_such_program_anywhere", ""},
          {child.c_str(), temp / "missing"},
      };
      for (const auto& c : cases) {
        NyCommandLine line(c.exe);
        line.SetEscapeChars(escape);
        line.SetCurrentDirectoryPath(c.folder.c_str());
        if (capture) line.SetBufferForStdout(&output);
        EXPECT_FALSE(line.Execute()) << (c.exe ? c.exe : "(null)") << " " << c.folder;
        EXPECT_FALSE(line.IsExecuting());
      }
      EXPECT_EQ(output, "x");
    }
  }
}

// Both streams at once, 50 MB of output: nothing lost, no deadlock.
TEST(Execute, CapturesFiftyMegabytes) {
  NyCommandLine line = Child({"big", "50"});
  CString output;
  line.SetBufferForStdout(&output);
  ASSERT_TRUE(line.Execute());
  ASSERT_TRUE(line.WaitExit(nullptr));
  EXPECT_EQ(line.GetExitCode(), 0);

  std::string expected;
  expected.reserve(52 * 1024 * 1024 + 16 * 50 * 8);
  for (int b = 0; b < 50 * 16; ++b) {
    char piece[17];
    std::snprintf(piece, sizeof(piece), "%06d:abcdefghi\n", b);
    for (int i = 0; i < 65536 / 16; ++i) expected += piece;
    expected += "#" + std::to_string(b) + "\n";
  }
  ASSERT_EQ(static_cast<size_t>(output.GetLength()), expected.size());
  EXPECT_TRUE(std::string(output.GetString()) == expected);  // no 50 MB diff on failure
}

// No handle outlives a run: a handle made afterwards gets a value no higher
// than one made before (the handle table reuses its lowest free slot; the
// count itself is not available under Wine).
TEST(Execute, LeavesNoHandlesBehind) {
  nytest::TempFolder temp;
  auto run = [&](int i) {
    CString output;
    NyCommandLine line = Child({"sleep", "1"});
    switch (i % 5) {
      case 0:
        line.SetBufferForStdout(&output);
        EXPECT_TRUE(line.Execute());
        EXPECT_TRUE(line.WaitExit(nullptr));
        break;
      case 1: {
        EXPECT_TRUE(line.Execute());
        NyCommandLine copy(line);
        copy = line;
        EXPECT_TRUE(copy.WaitExit(nullptr));
        EXPECT_TRUE(PollUntilExited(line));
        break;
      }
      case 2:
        line.SetBufferForStdout(&output);
        line.SetExeName("C:\\no\\such.exe");
        EXPECT_FALSE(line.Execute());
        break;
      case 3:
        line.SetBufferForStdout(&output);
        line.SetCurrentDirectoryPath((temp / "missing").c_str());
        EXPECT_FALSE(line.Execute());
        break;
      case 4:
        line.SetExeName("");
        EXPECT_FALSE(line.Execute());
        break;
    }
  };
  for (int i = 0; i < 5; ++i) run(i);  // the first runs load what stays loaded

  HANDLE probe = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(probe, nullptr);
  const uintptr_t before = reinterpret_cast<uintptr_t>(probe);
  ::CloseHandle(probe);
  for (int i = 0; i < 100; ++i) run(i);
  probe = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(probe, nullptr);
  EXPECT_LE(reinterpret_cast<uintptr_t>(probe), before);
  ::CloseHandle(probe);
}
