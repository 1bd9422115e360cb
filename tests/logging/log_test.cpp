// The transaction log on real files: line formats, nesting order, the
// process-wide file name and its failures, and whole lines when several
// processes append to one file at once.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

// The local date and time as a log reader expects it: plain numbers and the
// Shift-JIS unit bytes.
std::string Now() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  auto n = [](WORD value) { return std::to_string(value); };
  return n(t.wYear) + "\x94\x4E" + n(t.wMonth) + "\x8C\x8E" + n(t.wDay) + "\x93\xFA " + n(t.wHour) +
         "\x8E\x9E" + n(t.wMinute) + "\x95\xAA" + n(t.wSecond) + "\x95\x62";
}

// `text` with the date and time of each moment between `before` and now
// replaced by '@' (a second boundary may fall in between).
std::string Undated(std::string text, const std::string& before) {
  for (const std::string& date : {before, Now()}) {
    for (size_t at; (at = text.find(date)) != std::string::npos;) text.replace(at, date.size(), "@");
  }
  return text;
}

class TransactionLog : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CNyLog::SetLogFileName(m_path)); }
  void TearDown() override { CNyLog::UnsetLogFileName(); }
  std::string Text() const { return nytest::ReadBytes(m_path); }

  nytest::TempFolder m_dir;
  std::string m_path = m_dir / "log.txt";
};

// Two spaces after IN, one after OUT, outcomes without a date, and only
// status 1 is success. The destructor ends what is still open, innermost
// first, with the default status as it stands then. The unit bytes are the
// same under any code page.
NY_CODEPAGE_TEST_F(TransactionLog, NestedTransactionsWriteTheirLinesInOrder) {
  const std::string before = Now();
  {
    CNyLog log(CNyLog::STATUS_ERROR);
    EXPECT_TRUE(log.StartTransaction("A"));
    EXPECT_TRUE(log.StartTransaction("B"));
    EXPECT_TRUE(log.EndTransaction(CNyLog::STATUS_OK));
    EXPECT_TRUE(log.EndTransaction(CNyLog::STATUS_ERROR));
    EXPECT_FALSE(log.EndTransaction(CNyLog::STATUS_OK));  // nothing open: nothing written
    log.SetDefaultStatus(CNyLog::STATUS_OK);
    EXPECT_EQ(log.GetDefaultStatus(), CNyLog::STATUS_OK);
    log.StartTransaction("Outer");
    log.StartTransaction("Inner");
  }
  {
    CNyLog log(static_cast<CNyLog::STATUS>(2));
    log.StartTransaction("C");
    EXPECT_TRUE(log.EndTransaction(static_cast<CNyLog::STATUS>(-1)));
    log.StartTransaction("D");
  }
  EXPECT_EQ(Undated(Text(), before),
            "A IN  @\r\nB IN  @\r\nB OUT @\r\nB OK\r\nA OUT @\r\nA ERROR\r\n"
            "Outer IN  @\r\nInner IN  @\r\nInner OUT @\r\nInner OK\r\nOuter OUT @\r\nOuter OK\r\n"
            "C IN  @\r\nC OUT @\r\nC ERROR\r\nD IN  @\r\nD OUT @\r\nD ERROR\r\n");
}

// Setting the name empties an existing file; a name that cannot be opened
// clears the setting, so later lines no longer reach the earlier file. A file
// held open without sharing fails that line only: the name stays and the next
// line tries again. An opener that shares keeps no line out.
TEST_F(TransactionLog, FileNameAndFilesThatCannotBeOpened) {
  EXPECT_TRUE(CNyLog::PrintMessage("old", false));
  EXPECT_TRUE(CNyLog::SetLogFileName(m_path));
  EXPECT_EQ(Text(), "");
  ASSERT_TRUE(::DeleteFileA(m_path.c_str()));
  EXPECT_TRUE(CNyLog::PrintMessage("two\nlines", false));  // a missing file is created
  EXPECT_EQ(Text(), "two\r\nlines\r\n");

  for (const std::string bad : {m_dir / "missing\\log.txt", std::string(), m_dir.Path()}) {
    ASSERT_TRUE(CNyLog::SetLogFileName(m_path));
    EXPECT_FALSE(CNyLog::SetLogFileName(bad)) << bad;
    EXPECT_FALSE(CNyLog::IsSetLogFileName()) << bad;
    EXPECT_FALSE(CNyLog::PrintMessage("lost", false));
    EXPECT_EQ(Text(), "") << bad;
  }

  ASSERT_TRUE(CNyLog::SetLogFileName(m_path));
  {
    nytest::ScopedFile holder(m_path, GENERIC_READ, 0);
    ASSERT_TRUE(holder.IsOpen());
    EXPECT_FALSE(CNyLog::PrintMessage("locked", false));
    EXPECT_TRUE(CNyLog::IsSetLogFileName());
  }
  nytest::ScopedFile sharer(m_path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(sharer.IsOpen());
  EXPECT_TRUE(CNyLog::PrintMessage("shared", false));
  EXPECT_EQ(Text(), "shared\r\n");
}

// Without a file every line still reaches standard output; an end line that
// could not reach the file gets no outcome line anywhere.
TEST(TransactionLogOutput, WithoutFileOnlyStandardOutput) {
  CNyLog::UnsetLogFileName();
  const std::string before = Now();
  testing::internal::CaptureStdout();
  {
    CNyLog log(CNyLog::STATUS_OK);
    EXPECT_FALSE(log.StartTransaction("Job"));
    EXPECT_FALSE(log.EndTransaction(CNyLog::STATUS_OK));
    EXPECT_FALSE(log.EndTransaction(CNyLog::STATUS_OK));  // popped above even though it failed
    EXPECT_FALSE(CNyLog::PrintMessage("plain", false));
  }
  std::string out = testing::internal::GetCapturedStdout();
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  EXPECT_EQ(Undated(out, before), "Job IN  @\nJob OUT @\nplain\n");
}

constexpr int kChildren = 4, kLinesEach = 2000;
constexpr size_t kLineBytes = 200;  // with its CR LF

// Line `n` of child `child`: its numbers, padded with the child's letter.
std::string ChildLine(int child, int n) {
  std::string text = "child " + std::to_string(child) + " line " + std::to_string(n) + " ";
  text.resize(kLineBytes - 2, static_cast<char>('a' + child));
  return text;
}

using Handle = std::shared_ptr<void>;  // closed by ::CloseHandle

std::string SyncName(const char* what) {
  return std::string("DoRorLogTest_") + std::getenv("NY_LOG_PARENT") + what;
}

}  // namespace

// Names the shared log file, says it is ready, waits for the start signal and
// appends its lines. All children are ready before any starts, so no child's
// SetLogFileName empties the file after lines have reached it.
NY_FRESH_TEST(TransactionLogChild, AppendsLines) {
  const std::string child = std::getenv("NY_LOG_CHILD"), log = std::getenv("NY_LOG_FILE");
  // A file takes the flood of lines (Wine's NUL device costs milliseconds a write).
  ASSERT_TRUE(std::freopen((log + "." + child).c_str(), "w", stdout));
  ASSERT_TRUE(CNyLog::SetLogFileName(log));
  const Handle ready(::OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, SyncName("ready").c_str()),
                     ::CloseHandle);
  const Handle go(::OpenEventA(SYNCHRONIZE, FALSE, SyncName("go").c_str()), ::CloseHandle);
  ASSERT_TRUE(ready && go);
  ::ReleaseSemaphore(ready.get(), 1, nullptr);
  ASSERT_EQ(::WaitForSingleObject(go.get(), 60000), WAIT_OBJECT_0);
  for (int n = 0; n < kLinesEach; ++n)
    ASSERT_TRUE(CNyLog::PrintMessage(ChildLine(std::stoi(child), n), false));
}

TEST(TransactionLogProcesses, LinesFromSeveralProcessesAreNeverTorn) {
  nytest::TempFolder dir;
  const std::string path = dir / "shared.log";
  _putenv(("NY_LOG_FILE=" + path).c_str());
  _putenv(("NY_LOG_PARENT=" + std::to_string(::GetCurrentProcessId())).c_str());
  const Handle ready(::CreateSemaphoreA(nullptr, 0, kChildren, SyncName("ready").c_str()), ::CloseHandle);
  const Handle go(::CreateEventA(nullptr, TRUE, FALSE, SyncName("go").c_str()), ::CloseHandle);
  ASSERT_TRUE(ready && go);
  std::vector<Handle> children;
  for (int child = 0; child < kChildren; ++child) {
    _putenv(("NY_LOG_CHILD=" + std::to_string(child)).c_str());
    children.emplace_back(
        reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "TransactionLogChild.AppendsLines")),
        ::CloseHandle);
    ASSERT_NE(children.back().get(), INVALID_HANDLE_VALUE) << child;
  }
  for (int i = 0; i < kChildren; ++i) ASSERT_EQ(::WaitForSingleObject(ready.get(), 60000), WAIT_OBJECT_0);
  ::SetEvent(go.get());
  for (const Handle& child : children) {
    ASSERT_EQ(::WaitForSingleObject(child.get(), 120000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(child.get(), &code);
    EXPECT_EQ(code, 0u);
  }

  // Standard output had its copy of every line (in text mode, CR LF too),
  // before what the test framework writes after the test.
  std::set<std::string> expected;
  for (int child = 0; child < kChildren; ++child) {
    std::string copies;
    for (int n = 0; n < kLinesEach; ++n) copies += *expected.insert(ChildLine(child, n)).first + "\r\n";
    const std::string out = nytest::ReadBytes(path + "." + std::to_string(child));
    EXPECT_EQ(out.compare(0, copies.size(), copies), 0) << "standard output of child " << child;
  }
  // The file holds every line once, each whole, and nothing else.
  const std::string bytes = nytest::ReadBytes(path);
  EXPECT_EQ(bytes.size(), kChildren * kLinesEach * kLineBytes);
  int torn = 0;
  for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = bytes.substr(start, end - start);
    if (expected.erase(line) == 0 && ++torn <= 3) ADD_FAILURE() << "not a whole line: " << line.substr(0, 60);
  }
  EXPECT_EQ(torn, 0);
  EXPECT_TRUE(expected.empty()) << expected.size() << " lines missing";
}
