// Named stopwatches: what adds into a total, the clears, and the report as it
// reaches the log file. Totals are read back from reports (0.1 s resolution);
// intervals that must show last at least 400 ms and get lower bounds only.
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

const std::string kSecond = "\x95\x62";

// Returns once the system's tick count has moved `ms` past its value now.
void LetTicksPass(ULONGLONG ms) {
  const ULONGLONG start = ::GetTickCount64();
  while (::GetTickCount64() - start < ms) ::Sleep(1);
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

  // The seconds that the category's report gives for `keyword` (-1: no line).
  double Seconds(const std::string& category, const std::string& keyword) {
    const std::string report = Report(category);
    const size_t at = report.find(" " + kSecond + ": " + keyword + "\r\n");
    return at == std::string::npos ? -1 : std::atof(report.c_str() + report.rfind('\n', at) + 1);
  }

  nytest::TempFolder m_dir;
  std::string m_log = m_dir / "report.log";
};

// A second Start keeps the first start time, a Stop when stopped adds
// nothing, destruction stops and stopwatches of one name add into one total;
// instance Clear zeroes the total and keeps the stopwatch running.
TEST_F(Stopwatch, OnlyRunningIntervalsAdd) {
  CNyCountTime twice("Run", "twice", true), stopped("Run", "stopped", true), never("Run", "never", false);
  CNyCountTime own("Run", "own", true);
  std::optional<CNyCountTime> destroyed(std::in_place, "Run", "twice", true);
  stopped.Stop();
  LetTicksPass(400);
  twice.Start();  // running: the first start time stays
  twice.Stop();
  destroyed.reset();
  stopped.Stop();  // stopped: adds nothing
  never.Stop();
  own.Clear();
  EXPECT_GE(Seconds("Run", "twice"), 0.8);
  EXPECT_NEAR(Seconds("Run", "stopped"), 0.0, 0.3);
  EXPECT_EQ(Seconds("Run", "never"), 0.0);
  EXPECT_EQ(Seconds("Run", "own"), 0.0);

  // Static Clear empties the category; a stopwatch that was running through
  // it re-creates its keyword with its own interval only.
  CNyCountTime running("Run", "twice", true);
  CNyCountTime::Clear("Run");
  EXPECT_EQ(Report("Run"), "Run\r\n");
  running.Stop();
  EXPECT_NEAR(Seconds("Run", "twice"), 0.0, 0.3);

  stopped.Start();  // a restart adds its own interval
  LetTicksPass(400);
  stopped.Stop();
  EXPECT_GE(Seconds("Run", "stopped"), 0.4);
  own.Stop();
  EXPECT_GE(Seconds("Run", "own"), 0.4);

  // A stopped stopwatch's Clear creates a cleared-away entry at 0.
  CNyCountTime::Clear("Run");
  own.Clear();
  EXPECT_EQ(Report("Run"), "Run\r\n   0.0 " + kSecond + ": own\r\n");
  CNyCountTime::ClearAll();
  EXPECT_EQ(Report("Run"), "Run\r\n");
}

// The report: the category, then per keyword in byte order ("B" before "a")
// its seconds at least six wide with one decimal and the Shift-JIS second,
// appended without a date. Fresh totals are 0, the only total a test can set
// exactly. A missing category reports its name alone; long names go whole.
NY_CODEPAGE_TEST_F(Stopwatch, ReportHasOneLinePerKeywordInByteOrder) {
  CNyCountTime a("Fmt", "a", false), b("Fmt", "B", false), ab("Fmt", "ab", false), empty("Fmt", "", false);
  const std::string zero = "\r\n   0.0 " + kSecond + ": ";
  const std::string lines = "Fmt" + zero + zero + "B" + zero + "a" + zero + "ab\r\n";
  EXPECT_EQ(Report("Fmt"), lines);
  b.PrintResult();
  EXPECT_EQ(nytest::ReadBytes(m_log), lines + lines);

  EXPECT_EQ(Report("Nothing"), "Nothing\r\n");
  const std::string longName(5000, 'c'), longKey(3000, 'k');
  CNyCountTime big(longName, longKey, false);
  EXPECT_EQ(Report(longName), longName + zero + longKey + "\r\n");
}

}  // namespace
