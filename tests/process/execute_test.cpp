// Starting, capturing, polling, waiting for and killing real children.
#include <string>
#include <utility>

#include "ProcessTestSupport.h"

using nytest::Child;

namespace {

// Once the child's process object is signalled, a single poll must see the exit.
bool PollSeesExit(NyCommandLine& line) {
  bool exited = false;
  return line.CheckExit(&exited) && exited;
}

std::string RunAndCapture(NyCommandLine& line, CString& output) {
  line.SetBufferForStdout(&output);
  EXPECT_TRUE(line.Execute());
  EXPECT_TRUE(line.WaitExit(nullptr));
  return output.GetString();
}

}  // namespace

// Both streams are appended to the caller's text. 259 is the platform's "still
// active": the wait ends, the poll does not believe it, and the handle stays.
TEST(Execute, CapturesBothStreamsAndExitCodes) {
  for (int expected : {0, 70000, -1, 259}) {
    NyCommandLine line =
        Child({"out", "hello", "err", "world", "out", "again", "exit", std::to_string(expected)});
    CString output("before\n");
    line.SetBufferForStdout(&output);
    ASSERT_TRUE(line.Execute());
    EXPECT_EQ(output, "before\nhello\nworld\nagain\n");
    EXPECT_TRUE(line.IsExecuting());  // until an exit is observed
    const bool active = expected == 259;
    int code = 12345;
    EXPECT_EQ(line.WaitExit(&code), !active) << expected;
    EXPECT_EQ(code, active ? 12345 : expected);
    bool exited = active;
    EXPECT_TRUE(line.CheckExit(&exited));
    EXPECT_EQ(exited, !active);
    EXPECT_EQ(line.IsExecuting(), active);
    EXPECT_EQ(line.GetExitCode(), active ? 0 : expected);
  }
}

TEST(Execute, PollingAndWaitingChangeState) {
  struct Impatient : NyCommandLine {  // the wait hook gives up at once
    using NyCommandLine::NyCommandLine;
    bool OnWaitExit() override { return ::WaitForSingleObject(m_hProcess, 0) == WAIT_OBJECT_0; }
    HANDLE Process() const { return m_hProcess; }
  } line(nytest::ChildExe().c_str());
  for (const char* a : {"sleep", "400", "exit", "7"}) line.AddArgument(a);
  int code = 99;
  EXPECT_FALSE(line.CheckExit(nullptr));
  EXPECT_TRUE(PollSeesExit(line));    // idle counts as exited
  EXPECT_TRUE(line.WaitExit(&code));  // idle: at once, the stored code
  EXPECT_EQ(code, 0);

  ASSERT_TRUE(line.Execute());
  CString output("kept");
  line.SetBufferForStdout(&output);
  EXPECT_FALSE(line.Execute());  // one child at a time
  EXPECT_EQ(output, "kept");
  EXPECT_FALSE(line.CheckExit(nullptr));
  bool exited = true;
  EXPECT_TRUE(line.CheckExit(&exited) && !exited);
  EXPECT_FALSE(line.WaitExit(&code));  // the hook gave up: still held
  EXPECT_TRUE(line.IsExecuting());
  ASSERT_EQ(::WaitForSingleObject(line.Process(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(PollSeesExit(line));
  EXPECT_EQ(line.GetExitCode(), 7);
}

TEST(Execute, TerminateAndCopiesShareTheChild) {
  NyCommandLine line = Child({"sleep", "30000"});
  line.Terminate(1);  // idle: nothing
  ASSERT_TRUE(line.Execute());
  NyCommandLine copy(line), assigned("");
  assigned = line;
  copy.Terminate(42);
  EXPECT_FALSE(copy.IsExecuting());
  EXPECT_EQ(copy.GetExitCode(), 0);  // Terminate does not store its code
  for (NyCommandLine* other : {&line, &assigned}) {
    int code = 0;
    ASSERT_TRUE(other->WaitExit(&code));
    EXPECT_EQ(code, 42);
  }
}

TEST(Execute, WorkingFolderAndWhatCannotStart) {
  nytest::TempFolder temp;
  NyCommandLine line = Child({"cwd"});
  CString output;
  line.SetCurrentDirectoryPath(temp.Path().c_str());
  EXPECT_EQ(RunAndCapture(line, output), temp.Path() + "\n");
  output.Empty();
  line.SetCurrentDirectoryPath("");  // the caller's at Execute time
  EXPECT_EQ(RunAndCapture(line, output), nytest::WorkingDirectory() + "\n");

  const std::string child = nytest::ChildExe(), missing = temp / "missing";
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {nullptr, ""}, {"C:\\no\\such\\program.exe", ""}, {child.c_str(), missing.c_str()}};
  for (int mode = 0; mode < 4; ++mode) {  // with or without capture and escaping
    output = "x";
    for (const auto& [exe, folder] : cases) {
      NyCommandLine bad(exe);
      bad.SetEscapeChars(mode & 1);
      bad.SetCurrentDirectoryPath(folder);
      if (mode & 2) bad.SetBufferForStdout(&output);
      EXPECT_FALSE(bad.Execute()) << (exe ? exe : "(null)") << " " << folder << " " << mode;
      EXPECT_FALSE(bad.IsExecuting());
    }
    EXPECT_EQ(output, "x");
  }
}

// Both streams at once, 50 MB of output: nothing lost, no deadlock.
TEST(Execute, CapturesFiftyMegabytes) {
  NyCommandLine line = Child({"big", "50"});
  CString output;
  const std::string got = RunAndCapture(line, output);
  std::string expected;
  for (int b = 0; b < 50 * 16; ++b)
    expected += std::string(65536, static_cast<char>('a' + b % 26)) + "#" + std::to_string(b) + "\n";
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);  // no 50 MB diff on failure
}

// No handle outlives a run, failed or copied: a later handle value is no higher
// than an earlier one (the table reuses its lowest free slot; Wine gives no count).
TEST(Execute, LeavesNoHandlesBehind) {
  auto run = [](int i) {
    CString output;
    NyCommandLine line = Child({"sleep", "1"});
    if (i % 3 != 1) line.SetBufferForStdout(&output);
    if (i % 3 == 2) line.SetExeName("C:\\no\\such.exe");
    EXPECT_EQ(line.Execute(), i % 3 != 2);
    NyCommandLine copy(line);
    copy = line;
    EXPECT_TRUE(copy.WaitExit(nullptr));  // the original then ends by a poll
    if (i % 3 == 1) EXPECT_TRUE(PollSeesExit(line));
  };
  auto probe = [] {
    HANDLE h = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ::CloseHandle(h);
    return reinterpret_cast<uintptr_t>(h);
  };
  for (int i = 0; i < 3; ++i) run(i);  // the first runs load what stays loaded
  const uintptr_t before = probe();
  ASSERT_NE(before, 0u);
  for (int i = 0; i < 100; ++i) run(i);
  EXPECT_LE(probe(), before);
}
