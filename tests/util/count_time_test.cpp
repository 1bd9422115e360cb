// Named stopwatches: what adds into a total, the clears, and the report as it
// reaches the log file (0.1 s resolution, so timed totals get bounds only).
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

const std::string kSecond = "\x95\x62";

// Returns once a waitable timer set `ms` ahead has fired.
void Wait(LONGLONG ms) {
  const HANDLE timer = ::CreateWaitableTimerA(nullptr, TRUE, nullptr);
  LARGE_INTEGER due;
  due.QuadPart = -ms * 10000;  // relative, in 100 ns units
  ASSERT_TRUE(timer && ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE));
  EXPECT_EQ(::WaitForSingleObject(timer, static_cast<DWORD>(ms) + 10000), WAIT_OBJECT_0);
  ::CloseHandle(timer);
}

class Stopwatch : public testing::Test {
 protected:
  void SetUp() override { CNyCountTime::ClearAll(); }
  void TearDown() override { CNyLog::UnsetLogFileName(); }

  // The bytes that the category's report appends to the emptied log file.
  std::string Report(const std::string& category) {
    EXPECT_TRUE(CNyLog::SetLogFileName(m_log));
    CNyCountTime::PrintResult(category, true);
    return nytest::ReadBytes(m_log);
  }

  // The seconds that the report of "Run" gives for `keyword` (-1: no line).
  double Seconds(const std::string& keyword) {
    const std::string report = Report("Run");
    const size_t at = report.find(" " + kSecond + ": " + keyword + "\r\n");
    return at == std::string::npos ? -1 : std::atof(report.c_str() + report.rfind('\n', at) + 1);
  }

  nytest::TempFolder m_dir;
  std::string m_log = m_dir / "report.log";
};

// A second Start keeps the first start time, a Stop when stopped adds
// nothing, destruction stops, and stopwatches of one name add into one total.
// Static Clear empties the category; a stopwatch running through it adds only
// its own interval when it stops.
TEST_F(Stopwatch, OnlyRunningIntervalsAdd) {
  CNyCountTime twice("Run", "twice", true), stopped("Run", "stopped", true);
  std::optional<CNyCountTime> destroyed(std::in_place, "Run", "twice", true);
  stopped.Stop();
  Wait(300);
  twice.Start();  // running: the first start time stays
  twice.Stop();
  destroyed.reset();
  stopped.Stop();
  EXPECT_GE(Seconds("twice"), 0.55);
  EXPECT_NEAR(Seconds("stopped"), 0.0, 0.15);

  CNyCountTime running("Run", "twice", true);
  CNyCountTime::Clear("Run");
  EXPECT_EQ(Report("Run"), "Run\r\n");
  running.Stop();
  EXPECT_NEAR(Seconds("twice"), 0.0, 0.15);
}

// The report: the category, then per keyword in byte order ("B" before "a")
// its seconds at least six wide with one decimal and the Shift-JIS second,
// appended without a date. A missing category reports its name alone.
NY_CODEPAGE_TEST_F(Stopwatch, ReportHasOneLinePerKeywordInByteOrder) {
  CNyCountTime a("Fmt", "a", false), b("Fmt", "B", false), ab("Fmt", "ab", false), empty("Fmt", "", false);
  const std::string zero = "\r\n   0.0 " + kSecond + ": ";
  const std::string lines = "Fmt" + zero + zero + "B" + zero + "a" + zero + "ab\r\n";
  EXPECT_EQ(Report("Fmt"), lines);
  b.PrintResult();
  EXPECT_EQ(nytest::ReadBytes(m_log), lines + lines);
  EXPECT_EQ(Report("Nothing"), "Nothing\r\n");
  const std::string longName(5000, 'c');
  CNyCountTime big(longName, longName, false);
  EXPECT_EQ(Report(longName), longName + zero + longName + "\r\n");
}

}  // namespace
