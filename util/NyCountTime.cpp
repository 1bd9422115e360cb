// Named stopwatches adding up into a process-wide registry of totals per
// category and keyword, reported through the transaction log's output.
//
// The registry only ever changes through std::map operations that may run out
// of memory; a stopwatch has no failure result, so such a failure loses the
// one interval or report and never leaves the library as an exception.
#include "base/NyWindows.h"

#include <cstdio>
#include <exception>
#include <map>
#include <string>

#include "NyLogging.h"
#include "NyUtil.h"

std::map<std::string, std::map<std::string, double>> CNyCountTime::s_mapCategoryAndKeyWordToTime;

namespace {

// The seconds column of a report line: at least six characters with one
// decimal. Sized by a first pass, so a huge total cannot overflow a buffer.
std::string FormatSeconds(double milliseconds) {
  const double seconds = milliseconds / 1000.0;
  const int length = std::snprintf(nullptr, 0, "%6.1f", seconds);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), "%6.1f", seconds);
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

// ---- Constructors ---------------------------------------------------------------

CNyCountTime::CNyCountTime(const std::string& category, const std::string& keyword, bool start) {
  try {
    m_strCategory = category;
    m_strKeyWord = keyword;
    // An existing total stays: stopwatches of the same names add up.
    s_mapCategoryAndKeyWordToTime[category].emplace(keyword, 0.0);
  } catch (const std::exception&) {
    // Out of memory: Stop tries the registry again.
  }
  if (start) Start();
}

CNyCountTime::~CNyCountTime() { Stop(); }

// ---- Operations -------------------------------------------------------------------

void CNyCountTime::Start() {
  if (m_bRunning) return;  // the first start time stays
  m_bRunning = true;
  m_ullStartTick = ::GetTickCount64();
}

void CNyCountTime::Stop() {
  if (!m_bRunning) return;
  m_bRunning = false;
  const double elapsed = static_cast<double>(::GetTickCount64() - m_ullStartTick);
  try {
    // operator[] re-creates an entry that a Clear removed meanwhile.
    s_mapCategoryAndKeyWordToTime[m_strCategory][m_strKeyWord] += elapsed;
  } catch (const std::exception&) {
  }
}

void CNyCountTime::Clear() {
  try {
    s_mapCategoryAndKeyWordToTime[m_strCategory][m_strKeyWord] = 0.0;
  } catch (const std::exception&) {
  }
}

void CNyCountTime::PrintResult() { PrintResult(m_strCategory, false); }

// ---- Process-wide registry ------------------------------------------------------------

void CNyCountTime::Clear(const std::string& category) {
  try {
    s_mapCategoryAndKeyWordToTime[category].clear();
  } catch (const std::exception&) {
  }
}

void CNyCountTime::ClearAll() { s_mapCategoryAndKeyWordToTime.clear(); }

void CNyCountTime::PrintResult(const std::string& category, bool /*flag*/) {
  try {
    // A missing category is created, empty, and reports its name alone.
    const std::map<std::string, double>& totals = s_mapCategoryAndKeyWordToTime[category];
    std::string text = category;
    for (const auto& [keyword, milliseconds] : totals) {
      // The unit is the Shift-JIS second (0x95 0x62) whatever the code page.
      text += '\n' + FormatSeconds(milliseconds) + " \x95\x62: " + keyword;
    }
    CNyLog::PrintMessage(text, false);
  } catch (const std::exception&) {
  }
}
