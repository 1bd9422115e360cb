// Named stopwatches: what adds into a total and what does not, the clears, and
// the report as it reaches the transaction log's file. Totals are read back
// from reports, whose resolution is 0.1 s; intervals that must show are made
// at least 400 ms long by letting the tick count move on, and only lower
// bounds are checked against them.
#include <windows.h>

#include <cstdlib>
#include <map>
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

  // The bytes that the category's report appends to the log file.
  std::string Report(const std::string& category) {
    EXPECT_TRUE(CNyLog::SetLogFileName(m_log));
    CNyCountTime::PrintResult(category, true);
    return nytest::ReadBytes(m_log);
  }

  // keyword -> seconds, from the category's report (-1 for a line that does
  // not have the report's shape).
  std::map<std::string, double> Totals(const std::string& category) {
    const std::string report = Report(category);
    std::map<std::string, double> totals;
    size_t start = report.find("\r\n") + 2;
    for (size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2) {
      const std::string line = report.substr(start, end - start);
      const size_t unit = line.find(" " + kSecond + ": ");
      totals[unit == std::string::npos ? line : line.substr(unit + 5)] =
          unit == 6 ? std::atof(line.substr(0, 6).c_str()) : -1;
    }
    return totals;
  }

  nytest::TempFolder m_dir;
  std::string m_log = m_dir / "report.log";
};

TEST_F(Stopwatch, OnlyRunningIntervalsAdd) {
  {
    CNyCountTime twice("Run", "twice", true);
    LetTicksPass(400);
    twice.Start();  // already running: the first start time stays
    twice.Stop();
  }
  EXPECT_GE(Totals("Run")["twice"], 0.4);

  CNyCountTime stopped("Run", "stopped", true);
  stopped.Stop();
  LetTicksPass(400);
  stopped.Stop();  // stopped: nothing to add
  CNyCountTime never("Run", "never", false);
  LetTicksPass(1);
  never.Stop();
  const double first = Totals("Run")["stopped"];
  EXPECT_LT(first, 0.4);
  EXPECT_EQ(Totals("Run")["never"], 0.0);

  // Destruction stops a running stopwatch; stopwatches of the same names add
  // into one total, and each restart adds its own interval.
  {
    CNyCountTime running("Run", "stopped", true);
    CNyCountTime again("Run", "stopped", true);
    LetTicksPass(400);
    again.Stop();
    again.Start();
    LetTicksPass(400);
  }
  EXPECT_GE(Totals("Run")["stopped"], first + 0.8 + 0.8 - 0.1);
}

TEST_F(Stopwatch, ClearsResetTotalsButNotRunningStopwatches) {
  {
    CNyCountTime earlier("Clr", "k", true);
    LetTicksPass(400);
  }
  ASSERT_GE(Totals("Clr")["k"], 0.4);

  // Static Clear empties the category; a stopwatch that was running through
  // it re-creates its keyword with its own interval only.
  CNyCountTime running("Clr", "k", true);
  CNyCountTime::Clear("Clr");
  EXPECT_EQ(Report("Clr"), "Clr\r\n");
  running.Stop();
  EXPECT_LT(Totals("Clr")["k"], 0.4);

  // Instance Clear zeroes its own total and leaves it running.
  CNyCountTime own("Clr", "own", true);
  LetTicksPass(400);
  own.Clear();
  EXPECT_EQ(Totals("Clr")["own"], 0.0);
  LetTicksPass(400);
  own.Stop();
  EXPECT_GE(Totals("Clr")["own"], 0.4);

  // A stopped stopwatch's Clear creates a cleared-away entry at 0.
  CNyCountTime::Clear("Clr");
  own.Clear();
  EXPECT_EQ(Report("Clr"), "Clr\r\n   0.0 " + kSecond + ": own\r\n");

  CNyCountTime::ClearAll();
  EXPECT_EQ(Report("Clr"), "Clr\r\n");
}

// The report: the category, then per keyword in byte order ("B" before "a")
// its seconds at least six wide with one decimal and the Shift-JIS second.
// Fresh totals are 0, the only total a test can set exactly.
NY_CODEPAGE_TEST_F(Stopwatch, ReportHasOneLinePerKeywordInByteOrder) {
  CNyCountTime a("Fmt", "a", false), b("Fmt", "B", false), ab("Fmt", "ab", false), empty("Fmt", "", false);
  a.PrintResult();
  EXPECT_EQ(nytest::ReadBytes(m_log), "");  // no log file named yet: standard output only
  const std::string lines = "Fmt\r\n   0.0 " + kSecond + ": \r\n   0.0 " + kSecond + ": B\r\n   0.0 " +
                            kSecond + ": a\r\n   0.0 " + kSecond + ": ab\r\n";
  EXPECT_EQ(Report("Fmt"), lines);
  b.PrintResult();  // appended, not dated
  EXPECT_EQ(nytest::ReadBytes(m_log), lines + lines);

  // A missing category is created and reports its name alone; names of any
  // length go through whole.
  EXPECT_EQ(Report("Nothing"), "Nothing\r\n");
  const std::string longName(5000, 'c'), longKey(3000, 'k');
  CNyCountTime big(longName, longKey, false);
  EXPECT_EQ(Report(longName), longName + "\r\n   0.0 " + kSecond + ": " + longKey + "\r\n");
}

}  // namespace
