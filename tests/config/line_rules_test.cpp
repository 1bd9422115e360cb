// The line rules of configuration files, on lines as the reader hands them over.
#include <string>

#include "NyTestSupport.h"
#include "config/NyConfigText.h"
#include "config/NyConfigValue.h"
#include "identity/NyMultiByte.h"

using namespace ny::config;

namespace {

struct KeyLineCase {
  const char* line;
  bool isKeyLine;
  const char* key;
  const char* value;
};

}  // namespace

TEST(ConfigLineRules, KeyLinesSplitIntoKeyAndValue) {
  const KeyLineCase cases[] = {
      {"Size = 10", true, "Size", "10"},
      {"Size==10", true, "Size", "10"},
      {"Size\t=\t10 \t", true, "Size", "10"},
      {"Name = '  two words  '", true, "Name", "  two words  "},
      {"Mixed=\"x'", true, "Mixed", "\"x'"},
      {"Inner=\"a\"b\"", true, "Inner", "a\"b"},
      {"Lone='", true, "Lone", "'"},
      {"Pair=''", true, "Pair", ""},
      {";x=1", true, ";x", "1"},
      {"Key=", false, "", ""},
      {" Key=1", false, "", ""},
      {"Key value", false, "", ""},
      {"; note", false, "", ""},
  };
  for (const auto& c : cases) {
    char key[kLineFieldBufferSize] = "garbage";
    char value[kLineFieldBufferSize] = "garbage";
    EXPECT_EQ(ParseKeyValueLine(c.line, key, value), c.isKeyLine) << c.line;
    EXPECT_STREQ(key, c.key) << c.line;
    EXPECT_STREQ(value, c.value) << c.line;
  }
}

TEST(ConfigLineRules, OverlongValuesAreCutAndOverlongKeysRefused) {
  char key[kLineFieldBufferSize];
  char value[kLineFieldBufferSize];
  std::string longValue(2000, 'v');
  ASSERT_TRUE(ParseKeyValueLine(("K=" + longValue).c_str(), key, value));
  EXPECT_EQ(std::string(value), longValue.substr(0, 1023));
  // The direct reader cuts to its buffer instead.
  char small[8];
  ASSERT_TRUE(MatchKeyLine(("k = " + longValue).c_str(), "K", small, sizeof small));
  EXPECT_STREQ(small, "vvvvvvv");
  std::string longKey(5000, 'k');
  EXPECT_FALSE(ParseKeyValueLine((longKey + "=1").c_str(), key, value));
}

TEST(ConfigLineRules, DirectReaderHeaderAndKeyTests) {
  EXPECT_TRUE(IsSectionLine(" \t[Main] trailing"));
  EXPECT_FALSE(IsSectionLine("Main]"));
  for (const char* header : {"[main]", "   [Main] ; comment"}) {
    EXPECT_TRUE(IsHeaderOfSection(header, "MAIN")) << header;
  }
  for (const char* header : {"[Mains]", "[Main", "[Ma]", "Main]"}) {
    EXPECT_FALSE(IsHeaderOfSection(header, "Main")) << header;
  }
  char value[64];
  EXPECT_TRUE(MatchKeyLine("size = 10 ", "SIZE", value, sizeof value));
  EXPECT_STREQ(value, "10");
  for (const char* line : {"SizeX=10", "Size 10", "Size=  ", " Size=1", "Si"}) {
    EXPECT_FALSE(MatchKeyLine(line, "Size", value, sizeof value)) << line;
  }
}

// Full-width A (0x82 0x60) and a (0x82 0x81) are one letter in two cases
// under code page 932, and two unrelated pairs of bytes under 1252; the
// character 0x95 0x5C ends in the byte of a backslash.
TEST(ConfigLineRulesCodePage, NamesCompareByCharacter) {
  bool dbcs = nytest::IsCodePage932();
  EXPECT_EQ(IsHeaderOfSection("[\x82\x60]", "\x82\x81"), dbcs);
  char value[64];
  EXPECT_EQ(MatchKeyLine("\x82\x60=1", "\x82\x81", value, sizeof value), dbcs);
  char key[kLineFieldBufferSize];
  ASSERT_TRUE(ParseKeyValueLine("\x95\x5C=\"\x95\x5C\"", key, value));
  EXPECT_STREQ(key, "\x95\x5C");
  EXPECT_STREQ(value, "\x95\x5C");
}

// The cache indexes names by their folded form: two names must fold alike
// exactly when the case-insensitive comparison finds them equal.
TEST(ConfigLineRulesCodePage, FoldingAgreesWithTheComparison) {
  const char* names[] = {"Main", "MAIN", "main", "Mains", "\x82\x60", "\x82\x81", "\x95\x5C", "\x95\x7C",
                         "\xB1", "\xD1", "\xC9", "\xE9", "[x]", "{X}", ""};
  std::string a, b;
  for (const char* x : names) {
    for (const char* y : names) {
      ny::mb::FoldCase(x, a);
      ny::mb::FoldCase(y, b);
      EXPECT_EQ(a == b, ny::mb::CompareNoCase(x, y) == 0) << x << " / " << y;
    }
  }
}

TEST(ConfigValueRules, DoubleTexts) {
  struct { const char* text; bool ok; double value; } cases[] = {
      {"0.5", true, 0.5}, {".5", true, 0.5}, {"-2.25", true, -2.25}, {"+1e3", true, 1000},
      {"12abc", true, 12}, {"", false, 0}, {" 1", false, 0}, {"x1", false, 0}, {"e5", false, 0},
  };
  for (const auto& c : cases) {
    double value = -99;
    EXPECT_EQ(ParseDouble(c.text, value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : -99) << c.text;
  }
  EXPECT_EQ(FormatDouble(0.1f), "0.100000001490116");
  EXPECT_EQ(FormatDouble(-1.5e300), "-1.5e+300");
}

TEST(ConfigValueRules, IntAndBoolTexts) {
  struct { const char* text; bool words; bool ok; int value; } ints[] = {
      {"yes", true, true, 1}, {"OFF", true, true, 0}, {"True", true, true, 1},
      {"-12x", true, true, -12}, {"+7", false, true, 7}, {"yes", false, false, 0},
      {"", true, false, 0}, {" 5", true, false, 0}, {"x", true, false, 0},
  };
  for (const auto& c : ints) {
    int value = -99;
    EXPECT_EQ(ParseInt(c.text, c.words, value), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : -99) << c.text;
  }
  struct { const char* text; bool ok; bool value; } bools[] = {
      {"ON", true, true}, {"1", true, true}, {"Yes", true, true}, {"no", true, false},
      {"FALSE", true, false}, {"0", true, false}, {"2", false, false}, {"yes ", false, false},
  };
  for (const auto& c : bools) {
    bool value = true;
    EXPECT_EQ(ParseBool(c.text, value), c.ok) << c.text;
    if (c.ok) EXPECT_EQ(value, c.value) << c.text;
  }
  EXPECT_EQ(FormatLong(-2147483647L - 1), "-2147483648");
}
