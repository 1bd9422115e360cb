// Decimal-point guards, seen the way a host sees numbers: through the C
// runtime's own formatter (_snprintf, not mingw's snprintf, which ignores the
// runtime locale) and through streams built after the switch. The runtime
// locale and the global stream locale are shared with the library.
//
// The *DecimalComma* tests need a native decimal comma (a German user locale)
// and skip elsewhere; the rest hold whatever the native decimal point is.
#include <clocale>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

using NyLocaleUtil::SetDecimalPointToNativeLocaleAndAutoRestore;
using NyLocaleUtil::SetDecimalPointToPeriodAndAutoRestore;

std::string RuntimeFormat(double value) {
  char text[32];
  _snprintf(text, sizeof text, "%.1f", value);
  text[sizeof text - 1] = '\0';
  return text;
}

std::string StreamFormat(double value) {
  std::ostringstream out;  // takes the global locale now
  out.setf(std::ios::fixed);
  out.precision(1);
  out << value;
  return out.str();
}

double StreamParse(const std::string& text) {
  std::istringstream in(text);
  double value = 0.0;
  in >> value;
  return in.fail() ? -1.0 : value;
}

// Both layers together, "1.5" or "1,5" when they agree.
std::string BothFormat(double value) {
  const std::string runtime = RuntimeFormat(value);
  const std::string stream = StreamFormat(value);
  return runtime == stream ? runtime : "runtime " + runtime + ", stream " + stream;
}

std::string RuntimeName(int category = LC_ALL) {
  const char* name = std::setlocale(category, nullptr);
  return name ? name : "";
}

// A host's own comma punctuation, to check what a period guard replaces.
class HostCommaPunct : public std::numpunct<char> {
protected:
  char do_decimal_point() const override { return ','; }
  std::string do_grouping() const override { return "\3"; }
  char do_thousands_sep() const override { return '.'; }
};

// Tests playing the host switch both layers on purpose; the fixture puts
// back what the test found, so the next one starts from the same state.
class LocaleGuards : public testing::Test {
protected:
  void TearDown() override {
    std::locale::global(m_global);
    std::setlocale(LC_ALL, m_runtime.c_str());
  }
  const std::string m_runtime = RuntimeName();
  const std::locale m_global;
};

class LocaleGuardsDecimalComma : public LocaleGuards {
protected:
  void SetUp() override {
    char point[8] = "";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, point, sizeof point);
    if (std::string(point) != ",") GTEST_SKIP() << "native decimal point is '" << point << "'";
  }
};

}  // namespace

TEST_F(LocaleGuards, GuardsRestoreWhatTheyFound) {
  ASSERT_EQ(BothFormat(1.5), "1.5");
  {
    SetDecimalPointToPeriodAndAutoRestore period;
    EXPECT_EQ(BothFormat(1.5), "1.5");
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
  }
  EXPECT_EQ(RuntimeName(), m_runtime);
  EXPECT_TRUE(std::locale() == m_global);

  const std::string cType = RuntimeName(LC_CTYPE);
  {
    SetDecimalPointToNativeLocaleAndAutoRestore native;
    // Only the numeric category moves.
    EXPECT_EQ(RuntimeName(LC_CTYPE), cType);
    EXPECT_NE(RuntimeName(LC_NUMERIC), "C");
    EXPECT_FALSE(std::locale() == m_global);
  }
  EXPECT_EQ(RuntimeName(), m_runtime);
  EXPECT_TRUE(std::locale() == m_global);
  EXPECT_EQ(BothFormat(1.5), "1.5");
}

// A host that switched the whole runtime locale to the native one (code page
// included) keeps everything but the numbers inside a period guard, even
// though installing a named stream locale resets the runtime locale.
TEST_F(LocaleGuards, PeriodGuardKeepsTheHostsOtherCategories) {
  std::setlocale(LC_ALL, "");
  const std::string host = RuntimeName();
  const std::string hostCType = RuntimeName(LC_CTYPE);
  ASSERT_NE(hostCType, "C");
  {
    SetDecimalPointToPeriodAndAutoRestore period;
    EXPECT_EQ(RuntimeName(LC_CTYPE), hostCType);
    EXPECT_EQ(RuntimeName(LC_NUMERIC), "C");
    EXPECT_EQ(BothFormat(1.5), "1.5");
  }
  EXPECT_EQ(RuntimeName(), host);
}

TEST_F(LocaleGuardsDecimalComma, GuardsNest) {
  {
    SetDecimalPointToNativeLocaleAndAutoRestore native;
    EXPECT_EQ(BothFormat(1.5), "1,5");
    EXPECT_EQ(StreamParse("2,5"), 2.5);
    // Only the decimal point is native: no grouping on output.
    EXPECT_EQ(StreamFormat(1234567.5), "1234567,5");
    {
      SetDecimalPointToPeriodAndAutoRestore period;
      EXPECT_EQ(BothFormat(1.5), "1.5");
      EXPECT_EQ(StreamParse("2.5"), 2.5);
    }
    EXPECT_EQ(BothFormat(1.5), "1,5");
  }
  EXPECT_EQ(BothFormat(1.5), "1.5");
  EXPECT_EQ(RuntimeName(), m_runtime);
  EXPECT_TRUE(std::locale() == m_global);
}

// The period guard takes the whole numeric category of "C": a host's own
// punctuation (comma and grouping) is gone inside, back afterwards.
TEST_F(LocaleGuardsDecimalComma, PeriodGuardOverridesHostPunctuation) {
  std::locale::global(std::locale(std::locale(), new HostCommaPunct));
  std::setlocale(LC_ALL, "");
  ASSERT_EQ(BothFormat(1234.5), "runtime 1234,5, stream 1.234,5");
  {
    SetDecimalPointToPeriodAndAutoRestore period;
    EXPECT_EQ(BothFormat(1234.5), "1234.5");
  }
  EXPECT_EQ(BothFormat(1234.5), "runtime 1234,5, stream 1.234,5");
}

// No restore of its own; the fixture puts both layers back.
TEST_F(LocaleGuardsDecimalComma, SetToNativeLocaleSwitchesBothLayers) {
  NyLocaleUtil::SetToNativeLocale();
  EXPECT_EQ(BothFormat(1.5), "1,5");
  EXPECT_NE(RuntimeName(LC_CTYPE), "C");
  {
    SetDecimalPointToPeriodAndAutoRestore period;
    EXPECT_EQ(BothFormat(1.5), "1.5");
  }
  EXPECT_EQ(BothFormat(1.5), "1,5");
}
