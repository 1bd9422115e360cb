// Decimal-point guards. The tests labelled "decimal-comma" need a native
// decimal comma (a German user locale) and skip elsewhere.
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

// 1234.5 through the runtime's _snprintf (mingw's snprintf ignores the runtime
// locale) and a new stream; one text when both layers agree.
std::string Format() {
  char runtime[32] = "";
  _snprintf(runtime, sizeof runtime - 1, "%.1f", 1234.5);
  std::ostringstream stream;
  stream.precision(1);
  stream << std::fixed << 1234.5;
  return stream.str() == runtime ? runtime : "runtime " + std::string(runtime) + ", stream " + stream.str();
}

std::string Name(int category = LC_ALL) {
  const char* name = std::setlocale(category, nullptr);
  return name ? name : "";
}

// A host's own comma punctuation, to check what a period guard replaces.
struct HostCommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  std::string do_grouping() const override { return "\3"; }
  char do_thousands_sep() const override { return '.'; }
};

// Tests play the host; TearDown puts back what the test found.
class LocaleGuards : public testing::Test {
 protected:
  void TearDown() override {
    std::locale::global(m_global);
    std::setlocale(LC_ALL, m_runtime.c_str());
  }
  void ExpectRestored() {
    EXPECT_EQ(Name(), m_runtime);
    EXPECT_TRUE(std::locale() == m_global);
  }
  const std::string m_runtime = Name();
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
NY_LABEL_SUITE("decimal-comma", LocaleGuardsDecimalComma);

}  // namespace

TEST_F(LocaleGuards, GuardsRestoreWhatTheyFound) {
  ASSERT_EQ(Format(), "1234.5");
  { SetDecimalPointToPeriodAndAutoRestore period; }
  ExpectRestored();
  const std::string cType = Name(LC_CTYPE);
  {
    SetDecimalPointToNativeLocaleAndAutoRestore native;
    EXPECT_EQ(Name(LC_CTYPE), cType);  // only the numeric category moves
    EXPECT_NE(Name(LC_NUMERIC), "C");
    EXPECT_FALSE(std::locale() == m_global);
  }
  ExpectRestored();

  // A host on the whole native runtime locale keeps all but the numbers inside
  // a period guard, though installing a named stream locale resets the runtime's.
  std::setlocale(LC_ALL, "");
  const std::string host = Name(), hostCType = Name(LC_CTYPE);
  ASSERT_NE(hostCType, "C");
  {
    SetDecimalPointToPeriodAndAutoRestore period;
    EXPECT_EQ(Name(LC_CTYPE), hostCType);
    EXPECT_EQ(Name(LC_NUMERIC), "C");
    EXPECT_EQ(Format(), "1234.5");
  }
  EXPECT_EQ(Name(), host);
}

TEST_F(LocaleGuardsDecimalComma, GuardsNestAndRestoreAndNativeLocaleSwitchesBoth) {
  {
    SetDecimalPointToNativeLocaleAndAutoRestore native;
    EXPECT_EQ(Format(), "1234,5");  // only the decimal point is native: no grouping
    {
      SetDecimalPointToPeriodAndAutoRestore period;
      EXPECT_EQ(Format(), "1234.5");
    }
    EXPECT_EQ(Format(), "1234,5");
  }
  EXPECT_EQ(Format(), "1234.5");
  ExpectRestored();

  NyLocaleUtil::SetToNativeLocale();  // both layers, for good
  EXPECT_EQ(Format(), "1234,5");
  EXPECT_NE(Name(LC_CTYPE), "C");
}

// The period guard takes the whole numeric category of "C": the host's comma
// and grouping are gone inside and back afterwards.
TEST_F(LocaleGuardsDecimalComma, PeriodGuardOverridesHostPunctuation) {
  std::locale::global(std::locale(std::locale(), new HostCommaPunct));
  std::setlocale(LC_ALL, "");
  ASSERT_EQ(Format(), "runtime 1234,5, stream 1.234,5");
  {
    SetDecimalPointToPeriodAndAutoRestore period;
    EXPECT_EQ(Format(), "1234.5");
  }
  EXPECT_EQ(Format(), "runtime 1234,5, stream 1.234,5");
}
