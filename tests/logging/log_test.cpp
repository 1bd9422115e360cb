// The transaction log on real files: line formats, nesting order, the
// process-wide file name and its failures, and whole lines when several
// processes append to one file at once.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

// The date and time text of a local time, as a log reader expects it.
std::string DateText(const SYSTEMTIME& t) {
  auto n = [](WORD value) { return std::to_string(value); };
  return n(t.wYear) + "\x94\x4E" + n(t.wMonth) + "\x8C\x8E" + n(t.wDay) + "\x93\xFA " + n(t.wHour) +
         "\x8E\x9E" + n(t.wMinute) + "\x95\xAA" + n(t.wSecond) + "\x95\x62";
}

std::string Now() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return DateText(now);
}

// The file's lines; every line must end with CR LF (the text-mode form).
std::vector<std::string> Lines(const std::string& path) {
  const std::string bytes = nytest::ReadBytes(path);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "unterminated last line";
  for (const std::string& line : lines) EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF: " << line;
  return lines;
}

class TransactionLog : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CNyLog::SetLogFileName(m_path)); }
  void TearDown() override { CNyLog::UnsetLogFileName(); }

  // Checks `lines` against `expected`, where a trailing '@' stands for a space
  // and the date and time of a moment between `before` and the check.
  void ExpectLines(const std::vector<std::string>& expected, const std::string& before) {
    const std::string after = Now();
    const std::vector<std::string> lines = Lines(m_path);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string want = expected[i];
      if (!want.empty() && want.back() == '@') {
        want.back() = ' ';
        // A second boundary may fall between the two readings.
        EXPECT_TRUE(lines[i] == want + before || lines[i] == want + after) << i << ": " << lines[i];
      } else {
        EXPECT_EQ(lines[i], want) << i;
      }
    }
  }

  nytest::TempFolder m_dir;
  std::string m_path = m_dir / "log.txt";
};

// Two spaces after IN, one after OUT, outcomes without a date; the Shift-JIS
// unit bytes are the same under any code page.
NY_CODEPAGE_TEST_F(TransactionLog, NestedTransactionsWriteTheirLinesInOrder) {
  const std::string before = Now();
  CNyLog log(CNyLog::STATUS_ERROR);
  EXPECT_TRUE(log.StartTransaction("A"));
  EXPECT_TRUE(log.StartTransaction("B"));
  EXPECT_TRUE(log.EndTransaction(CNyLog::STATUS_OK));
  EXPECT_TRUE(log.EndTransaction(CNyLog::STATUS_ERROR));
  EXPECT_FALSE(log.EndTransaction(CNyLog::STATUS_OK));  // nothing open: nothing written
  ExpectLines({"A IN @", "B IN @", "B OUT@", "B OK", "A OUT@", "A ERROR"}, before);
}

// No leading zeros and no fixed width in any field (the clock cannot be set,
// so the shape is checked on whatever time it is).
TEST_F(TransactionLog, DateHasNoLeadingZeros) {
  const std::string before = Now();
  EXPECT_TRUE(CNyLog::PrintMessage("M", true));
  ExpectLines({"M@"}, before);
  const std::string line = Lines(m_path).at(0);
  for (size_t i = 2; i + 1 < line.size(); ++i) {
    const bool startsNumber = line[i] >= '0' && line[i] <= '9' && !(line[i - 1] >= '0' && line[i - 1] <= '9');
    EXPECT_FALSE(startsNumber && line[i] == '0' && line[i + 1] >= '0' && line[i + 1] <= '9') << line;
  }
}

// The destructor ends what is still open, innermost first, with the default
// status as it stands at that moment.
TEST_F(TransactionLog, DestructorEndsInnerTransactionsFirst) {
  const std::string before = Now();
  {
    CNyLog log(CNyLog::STATUS_ERROR);
    log.SetDefaultStatus(CNyLog::STATUS_OK);
    EXPECT_EQ(log.GetDefaultStatus(), CNyLog::STATUS_OK);
    log.StartTransaction("Outer");
    log.StartTransaction("Inner");
  }
  {
    CNyLog log(CNyLog::STATUS_ERROR);
    log.StartTransaction("Failed");
  }
  ExpectLines({"Outer IN @", "Inner IN @", "Inner OUT@", "Inner OK", "Outer OUT@", "Outer OK", "Failed IN @",
               "Failed OUT@", "Failed ERROR"},
              before);
}

// Only 1 is success; every other value a host passes is a failure.
TEST_F(TransactionLog, OnlyStatusOneIsSuccess) {
  const struct {
    int status;
    const char* outcome;
  } cases[] = {{1, "T OK"}, {0, "T ERROR"}, {2, "T ERROR"}, {-1, "T ERROR"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(CNyLog::SetLogFileName(m_path));
    CNyLog log(CNyLog::STATUS_OK);
    log.StartTransaction("T");
    EXPECT_TRUE(log.EndTransaction(static_cast<CNyLog::STATUS>(c.status)));
    EXPECT_EQ(Lines(m_path).back(), c.outcome) << c.status;
  }
}

// Setting the name empties an existing file; a name that cannot be opened
// clears the setting, so later lines no longer reach the earlier file.
TEST_F(TransactionLog, SettingTheNameEmptiesTheFileAndFailureClearsIt) {
  EXPECT_TRUE(CNyLog::PrintMessage("old", false));
  EXPECT_EQ(nytest::ReadBytes(m_path), "old\r\n");
  EXPECT_TRUE(CNyLog::SetLogFileName(m_path));
  EXPECT_TRUE(CNyLog::IsSetLogFileName());
  EXPECT_EQ(nytest::ReadBytes(m_path), "");
  EXPECT_TRUE(CNyLog::PrintMessage("new", false));
  EXPECT_TRUE(CNyLog::PrintMessage("two\nlines", false));
  EXPECT_EQ(nytest::ReadBytes(m_path), "new\r\ntwo\r\nlines\r\n");

  for (const std::string bad : {m_dir / "missing\\log.txt", std::string(), m_dir.Path()}) {
    ASSERT_TRUE(CNyLog::SetLogFileName(m_path));
    EXPECT_FALSE(CNyLog::SetLogFileName(bad)) << bad;
    EXPECT_FALSE(CNyLog::IsSetLogFileName()) << bad;
    EXPECT_FALSE(CNyLog::PrintMessage("lost", false));
    EXPECT_EQ(nytest::ReadBytes(m_path), "") << bad;
  }
}

// A file that cannot be opened for one line (held without sharing by another
// opener, or its folder gone) fails that line only; the name stays and the
// next line tries again.
TEST_F(TransactionLog, UnopenableFileFailsOnlyThatLine) {
  {
    nytest::ScopedFile holder(m_path, GENERIC_READ, 0);
    ASSERT_TRUE(holder.IsOpen());
    EXPECT_FALSE(CNyLog::PrintMessage("locked", false));
    EXPECT_TRUE(CNyLog::IsSetLogFileName());
  }
  EXPECT_TRUE(CNyLog::PrintMessage("free", false));
  EXPECT_EQ(nytest::ReadBytes(m_path), "free\r\n");

  // A reader or writer that shares does not keep lines out.
  nytest::ScopedFile sharer(m_path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(sharer.IsOpen());
  EXPECT_TRUE(CNyLog::PrintMessage("shared", false));
  EXPECT_EQ(nytest::ReadBytes(m_path), "free\r\nshared\r\n");

  const std::string inFolder = m_dir / "sub\\log.txt";
  ::CreateDirectoryA((m_dir / "sub").c_str(), nullptr);
  ASSERT_TRUE(CNyLog::SetLogFileName(inFolder));
  nytest::RemoveTree(m_dir / "sub");
  EXPECT_FALSE(CNyLog::PrintMessage("gone", false));
  ::CreateDirectoryA((m_dir / "sub").c_str(), nullptr);
  EXPECT_TRUE(CNyLog::PrintMessage("back", false));  // a missing file is created
  EXPECT_EQ(nytest::ReadBytes(inFolder), "back\r\n");
}

// Without a file every line still reaches standard output; an end line that
// could not reach the file gets no outcome line anywhere.
TEST(TransactionLogOutput, WithoutFileOnlyStandardOutput) {
  CNyLog::UnsetLogFileName();
  EXPECT_FALSE(CNyLog::IsSetLogFileName());
  const std::string before = Now();
  testing::internal::CaptureStdout();
  bool started, ended, emptyEnd;
  {
    CNyLog log(CNyLog::STATUS_OK);
    started = log.StartTransaction("Job");
    ended = log.EndTransaction(CNyLog::STATUS_OK);
    emptyEnd = log.EndTransaction(CNyLog::STATUS_OK);  // popped above even though it failed
    CNyLog::PrintMessage("plain", false);
  }
  std::string out = testing::internal::GetCapturedStdout();
  const std::string after = Now();
  EXPECT_FALSE(started);
  EXPECT_FALSE(ended);
  EXPECT_FALSE(emptyEnd);
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  const std::string date = out.substr(out.find("IN  ") + 4, before.size());
  EXPECT_TRUE(date == before || date == after) << out;
  EXPECT_TRUE(out == "Job IN  " + before + "\nJob OUT " + before + "\nplain\n" ||
              out == "Job IN  " + before + "\nJob OUT " + after + "\nplain\n" ||
              out == "Job IN  " + after + "\nJob OUT " + after + "\nplain\n")
      << out;
}

// ---- Several processes appending to one file ----------------------------------------

constexpr int kChildren = 4;
constexpr int kLinesEach = 2000;
constexpr size_t kLineBytes = 200;  // with its CR LF

// Line `n` of child `child`: its numbers, padded with the child's letter.
std::string ChildLine(int child, int n) {
  std::string text = "child " + std::to_string(child) + " line " + std::to_string(n) + " ";
  text.resize(kLineBytes - 2, static_cast<char>('a' + child));
  return text;
}

// Closes a kernel handle on every path out of the test.
struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string EventName(const char* what, int child) {
  return std::string("DoRorLogTest_") + std::getenv("NY_LOG_PARENT") + "_" + what + std::to_string(child);
}

}  // namespace

// Names the shared log file, says it is ready, waits for the start signal and
// appends its lines; exits with 0 when every line reached the file. The
// parent empties the file once before any child writes, through the first
// child's SetLogFileName, since all of them are ready before any starts.
NY_FRESH_TEST(TransactionLogChild, AppendsLines) {
  const int child = std::atoi(std::getenv("NY_LOG_CHILD"));
  // Thousands of lines per child would flood the test's own output; a file
  // takes them (Wine's NUL device costs milliseconds per write).
  const std::string log = std::getenv("NY_LOG_FILE");
  ASSERT_TRUE(std::freopen((log + "." + std::to_string(child) + ".out").c_str(), "w", stdout));
  ASSERT_TRUE(CNyLog::SetLogFileName(log));
  const Handle ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("ready", child).c_str()));
  const Handle go(::OpenEventA(SYNCHRONIZE, FALSE, EventName("go", 0).c_str()));
  ASSERT_TRUE(ready && go);
  ::SetEvent(ready.get());
  ASSERT_EQ(::WaitForSingleObject(go.get(), 60000), WAIT_OBJECT_0);
  int failed = 0;
  for (int n = 0; n < kLinesEach; ++n) failed += !CNyLog::PrintMessage(ChildLine(child, n), false);
  EXPECT_EQ(failed, 0);
}

TEST(TransactionLogProcesses, LinesFromSeveralProcessesAreNeverTorn) {
  nytest::TempFolder dir;
  const std::string path = dir / "shared.log";
  _putenv(("NY_LOG_FILE=" + path).c_str());
  _putenv(("NY_LOG_PARENT=" + std::to_string(::GetCurrentProcessId())).c_str());
  Handle go(::CreateEventA(nullptr, TRUE, FALSE, EventName("go", 0).c_str()));
  std::vector<Handle> ready, children;
  for (int child = 0; child < kChildren; ++child) {
    ready.emplace_back(::CreateEventA(nullptr, TRUE, FALSE, EventName("ready", child).c_str()));
    _putenv(("NY_LOG_CHILD=" + std::to_string(child)).c_str());
    children.emplace_back(
        reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "TransactionLogChild.AppendsLines")));
    ASSERT_TRUE(ready.back() && children.back().get() != INVALID_HANDLE_VALUE) << child;
  }
  for (const Handle& event : ready) ASSERT_EQ(::WaitForSingleObject(event.get(), 60000), WAIT_OBJECT_0);
  const ULONGLONG start = ::GetTickCount64();
  ::SetEvent(go.get());
  for (const Handle& child : children) {
    ASSERT_EQ(::WaitForSingleObject(child.get(), 120000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(child.get(), &code);
    EXPECT_EQ(code, 0u);
  }
  std::printf("%d processes appended %d lines of %u bytes in %llu ms\n", kChildren, kChildren * kLinesEach,
              static_cast<unsigned>(kLineBytes), ::GetTickCount64() - start);

  // Standard output had its copy of every line (in text mode, CR LF too),
  // before what the test framework writes after the test.
  for (int child = 0; child < kChildren; ++child) {
    std::string copies;
    for (int n = 0; n < kLinesEach; ++n) copies += ChildLine(child, n) + "\r\n";
    const std::string out = nytest::ReadBytes(path + "." + std::to_string(child) + ".out");
    EXPECT_TRUE(out.compare(0, copies.size(), copies) == 0) << child;
  }

  std::set<std::string> expected;
  for (int child = 0; child < kChildren; ++child) {
    for (int n = 0; n < kLinesEach; ++n) expected.insert(ChildLine(child, n));
  }
  const std::vector<std::string> lines = Lines(path);
  EXPECT_EQ(lines.size(), static_cast<size_t>(kChildren * kLinesEach));
  int torn = 0;
  std::map<int, int> lastLine;  // each child's lines stay in its own order
  for (const std::string& line : lines) {
    if (expected.erase(line) == 0) {
      if (++torn <= 3) ADD_FAILURE() << "not a whole line: " << line.substr(0, 60);
      continue;
    }
    const int child = line[6] - '0', n = std::atoi(line.c_str() + line.find("line ") + 5);
    EXPECT_TRUE(lastLine.count(child) == 0 || lastLine[child] < n) << line.substr(0, 30);
    lastLine[child] = n;
  }
  EXPECT_EQ(torn, 0);
  EXPECT_TRUE(expected.empty()) << expected.size() << " lines missing";
}
