// The transaction log on real files: line formats, nesting order, the file
// name and its failures, whole lines when several processes append at once.
#include <windows.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

// The local date and time as the log writes it, with the Shift-JIS unit bytes.
std::string Now() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  auto n = [](WORD value) { return std::to_string(value); };
  return n(t.wYear) + "\x94\x4E" + n(t.wMonth) + "\x8C\x8E" + n(t.wDay) + "\x93\xFA " + n(t.wHour) +
         "\x8E\x9E" + n(t.wMinute) + "\x95\xAA" + n(t.wSecond) + "\x95\x62";
}

// `text` with the dates of `before` and of now replaced by '@'.
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

// Two spaces after IN, one after OUT, outcomes without a date, only status 1
// is success. The destructor ends what is open, innermost first, with the
// default status as it stands then. The unit bytes hold under any code page.
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

// A name that cannot be opened clears the setting; a locked file fails that
// line only. Setting the name empties the file.
TEST_F(TransactionLog, FileNameAndFilesThatCannotBeOpened) {
  EXPECT_TRUE(CNyLog::PrintMessage("old", false));
  for (const std::string bad : {m_dir / "missing\\log.txt", std::string(), m_dir.Path()}) {
    ASSERT_TRUE(CNyLog::SetLogFileName(m_path));
    EXPECT_FALSE(CNyLog::SetLogFileName(bad)) << bad;
    EXPECT_FALSE(CNyLog::PrintMessage("lost", false));
    EXPECT_EQ(Text(), "") << bad;
  }
  ASSERT_TRUE(CNyLog::SetLogFileName(m_path));
  {
    nytest::ScopedFile holder(m_path, GENERIC_READ, 0);
    EXPECT_FALSE(CNyLog::PrintMessage("locked", false));
  }
  EXPECT_TRUE(CNyLog::PrintMessage("two\nlines", false));
  EXPECT_EQ(Text(), "two\r\nlines\r\n");
}

constexpr int kChildren = 4, kLinesEach = 2000;
constexpr size_t kLineBytes = 200;  // with its CR LF

std::string ChildLine(int child, int n) {
  std::string text = "child " + std::to_string(child) + " line " + std::to_string(n) + " ";
  text.resize(kLineBytes - 2, static_cast<char>('a' + child));
  return text;
}

std::string SyncName(const char* what) {
  return std::string("DoRorLogTest_") + std::getenv("NY_LOG_PARENT") + what;
}

}  // namespace

// Names the shared file, says it is ready, waits for the start signal and
// appends its lines (all are ready first: SetLogFileName empties the file).
NY_FRESH_TEST(TransactionLogChild, AppendsLines) {
  const std::string child = std::getenv("NY_LOG_CHILD"), log = std::getenv("NY_LOG_FILE");
  ASSERT_TRUE(std::freopen((log + "." + child).c_str(), "w", stdout));  // Wine's NUL is slow
  ASSERT_TRUE(CNyLog::SetLogFileName(log));
  const HANDLE ready = ::OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, SyncName("ready").c_str());
  const HANDLE go = ::OpenEventA(SYNCHRONIZE, FALSE, SyncName("go").c_str());
  ASSERT_TRUE(ready && go);
  ::ReleaseSemaphore(ready, 1, nullptr);
  ASSERT_EQ(::WaitForSingleObject(go, 60000), WAIT_OBJECT_0);
  for (int n = 0; n < kLinesEach; ++n)
    ASSERT_TRUE(CNyLog::PrintMessage(ChildLine(std::stoi(child), n), false));
}

TEST(TransactionLogProcesses, LinesFromSeveralProcessesAreNeverTorn) {
  nytest::TempFolder dir;
  const std::string path = dir / "shared.log";
  _putenv(("NY_LOG_FILE=" + path).c_str());
  _putenv(("NY_LOG_PARENT=" + std::to_string(::GetCurrentProcessId())).c_str());
  const HANDLE ready = ::CreateSemaphoreA(nullptr, 0, kChildren, SyncName("ready").c_str());
  const HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, SyncName("go").c_str());
  HANDLE children[kChildren];
  std::set<std::string> expected;
  for (int child = 0; child < kChildren; ++child) {
    _putenv(("NY_LOG_CHILD=" + std::to_string(child)).c_str());
    children[child] =
        reinterpret_cast<HANDLE>(nytest::SpawnFresh(_P_NOWAIT, "TransactionLogChild.AppendsLines"));
    for (int n = 0; n < kLinesEach; ++n) expected.insert(ChildLine(child, n));
  }
  for (int i = 0; i < kChildren; ++i) ASSERT_EQ(::WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
  ::SetEvent(go);
  for (HANDLE child : children) {
    DWORD code = 1;
    EXPECT_EQ(::WaitForSingleObject(child, 120000), WAIT_OBJECT_0);
    EXPECT_TRUE(::GetExitCodeProcess(child, &code) && code == 0);
    ::CloseHandle(child);
  }
  for (HANDLE handle : {ready, go}) ::CloseHandle(handle);

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
