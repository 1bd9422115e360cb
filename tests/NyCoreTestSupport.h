// What the suites of the platform-free core need besides GoogleTest: the
// code page of the run and the labels that select tests for extra runs.
// Builds natively as well as for Windows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "base/NyCodePage.h"
#endif

namespace nytest {

// The natively built core takes its code page from NY_CODEPAGE, as the
// Windows runs take their ANSI code page from it (through the runner).
#ifdef _WIN32
inline bool IsCodePage932() { return ::GetACP() == 932; }
#else
inline bool IsCodePage932() { return ny::cp::CodePage() == 932; }
#endif

// ---- Labels ---------------------------------------------------------------------
// A label marks tests in their source for an extra run of the suite:
// "codepage" tests depend on the ANSI code page and run again under 1252;
// "decimal-comma" tests need a German user locale. The suite's main runs only
// the tests of one label when started with --ny_label=NAME (NyTestMain.cpp).

// (label, gtest filter pattern) pairs, filled before main starts.
inline std::vector<std::pair<std::string, std::string>>& LabelledTests() {
  static std::vector<std::pair<std::string, std::string>> tests;
  return tests;
}

inline bool AddLabel(const char* label, const std::string& pattern) {
  LabelledTests().emplace_back(label, pattern);
  return true;
}

// The gtest filter that selects the tests of `label` (none when it has none).
inline std::string LabelFilter(const std::string& label) {
  std::string filter;
  for (const auto& [name, pattern] : LabelledTests()) {
    if (name == label) filter += (filter.empty() ? "" : ":") + pattern;
  }
  return filter.empty() ? "-*" : filter;
}

}  // namespace nytest

#define NY_LABEL_TEST_(label, suite, name) \
  static const bool ny_label_##suite##_##name = ::nytest::AddLabel(label, #suite "." #name)

// A test whose result depends on the ANSI code page (run under 932 and 1252).
#define NY_CODEPAGE_TEST(suite, name)      \
  NY_LABEL_TEST_("codepage", suite, name); \
  TEST(suite, name)
#define NY_CODEPAGE_TEST_F(fixture, name)    \
  NY_LABEL_TEST_("codepage", fixture, name); \
  TEST_F(fixture, name)

// Every test of a fixture carries `label` (written once, after the fixture).
#define NY_LABEL_SUITE(label, suite) \
  static const bool ny_label_suite_##suite = ::nytest::AddLabel(label, #suite ".*")
