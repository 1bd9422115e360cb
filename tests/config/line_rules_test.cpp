// The line rules of configuration files, on lines as the reader hands them over.
#include <iterator>
#include <string>

#include "NyCoreTestSupport.h"
#include "base/NyMultiByte.h"
#include "config/NyConfigText.h"
#include "config/NyConfigValue.h"

using namespace ny::config;

// Without a key the line is no key line.
static void ExpectKeyLine(const std::string& line, const std::string& key, const std::string& value) {
  char k[kLineFieldBufferSize] = "garbage", v[kLineFieldBufferSize] = "garbage";
  EXPECT_EQ(ParseKeyValueLine(line.c_str(), k, v), !key.empty()) << line;
  EXPECT_EQ(k + std::string("|") + v, key + "|" + value) << line;
}

TEST(ConfigLineRules, KeyLinesSplitIntoKeyAndValue) {
  const char* cases[] = {"Size==10",   "Size",  "10",   "Size\t=\t10 \t", "Size",  "10",
                         "Mixed=\"x'", "Mixed", "\"x'", "Inner=\"a\"b\"", "Inner", "a\"b",
                         "Lone='",     "Lone",  "'",    "Pair=''",        "Pair",  "",
                         ";x=1",       ";x",    "1",    "Key=",           "",      "",
                         " Key=1",     "",      "",     "Key value",      "",      ""};
  for (size_t i = 0; i < std::size(cases); i += 3) ExpectKeyLine(cases[i], cases[i + 1], cases[i + 2]);
  ExpectKeyLine("Name = '  two words  '", "Name", "  two words  ");
  ExpectKeyLine(std::string(5000, 'k') + "=1", "", "");
  ExpectKeyLine("K=" + std::string(2000, 'v'), "K", std::string(1023, 'v'));
}

TEST(ConfigLineRules, DirectReaderHeaderAndKeyTests) {
  EXPECT_TRUE(IsSectionLine(" \t[Main] trailing"));
  EXPECT_FALSE(IsSectionLine("Main]"));
  for (const char* s : {"[main]", "   [Main] ; comment"}) EXPECT_TRUE(IsHeaderOfSection(s, "MAIN")) << s;
  for (const char* s : {"[Mains]", "[Main", "Main]"}) EXPECT_FALSE(IsHeaderOfSection(s, "Main")) << s;
  char value[8], cut[8];
  EXPECT_TRUE(MatchKeyLine("size = 10 ", "SIZE", value, sizeof value) &&
              MatchKeyLine("k = vvvvvvvvvv", "K", cut, sizeof cut));
  EXPECT_EQ(value + std::string("|") + cut, "10|vvvvvvv");  // cut to the buffer
  for (const char* line : {"SizeX=10", "Size=  ", " Size=1", "Si"}) {
    EXPECT_FALSE(MatchKeyLine(line, "Size", value, sizeof value)) << line;
  }
}

// Full-width A (0x82 0x60) and a (0x82 0x81) are one letter in two cases
// under code page 932 only; the character 0x95 0x5C ends in a backslash byte.
NY_CODEPAGE_TEST(ConfigLineRules, NamesCompareByCharacter) {
  bool dbcs = nytest::IsCodePage932();
  char key[kLineFieldBufferSize], value[kLineFieldBufferSize];
  EXPECT_EQ(IsHeaderOfSection("[\x82\x60]", "\x82\x81"), dbcs);
  EXPECT_EQ(MatchKeyLine("\x82\x60=1", "\x82\x81", value, sizeof value), dbcs);
  ASSERT_TRUE(ParseKeyValueLine("\x95\x5C=\"\x95\x5C\"", key, value));
  EXPECT_EQ(key + std::string("|") + value, "\x95\x5C|\x95\x5C");
}

// The cache indexes names by their folded form: two names must fold alike
// exactly when the case-insensitive comparison finds them equal.
NY_CODEPAGE_TEST(ConfigLineRules, FoldingAgreesWithTheComparison) {
  const char* names[] = {"Main", "MAIN", "main", "Mains", "\x82\x60", "\x82\x81", "\x95\x5C", "\x95\x7C",
                         "\xB1", "\xD1", "\xC9", "\xE9",  "[x]",      "{X}",      ""};
  std::string a, b;
  for (const char* x : names) {
    for (const char* y : names) {
      ny::mb::FoldCase(x, a);
      ny::mb::FoldCase(y, b);
      EXPECT_EQ(a == b, ny::mb::CompareNoCase(x, y) == 0) << x << " / " << y;
    }
  }
}

// 'd' double, 'i' int with the bool words, 'n' int without them, 'b' bool; a
// refused text leaves the output as it was (-99; true for bools).
TEST(ConfigValueRules, NumberAndBoolTexts) {
  const struct {
    char rule;
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {'d', ".5", true, 0.5},   {'d', "-2.25", true, -2.25}, {'d', "+1e3", true, 1000},
      {'d', "12abc", true, 12}, {'d', "", false, -99},       {'d', " 1", false, -99},
      {'d', "x1", false, -99},  {'i', "yes", true, 1},       {'i', "OFF", true, 0},
      {'i', "True", true, 1},   {'i', "-12x", true, -12},    {'i', " 5", false, -99},
      {'i', "x", false, -99},   {'n', "+7", true, 7},        {'n', "yes", false, -99},
      {'b', "ON", true, 1},     {'b', "1", true, 1},         {'b', "no", true, 0},
      {'b', "FALSE", true, 0},  {'b', "0", true, 0},         {'b', "2", false, 1},
      {'b', "yes ", false, 1},
  };
  for (const auto& c : cases) {
    double d = -99;
    int i = -99;
    bool b = true;
    bool ok = c.rule == 'd'   ? ParseDouble(c.text, d)
              : c.rule == 'b' ? ParseBool(c.text, b)
                              : ParseInt(c.text, c.rule == 'i', i);
    EXPECT_EQ(ok, c.ok) << c.rule << " " << c.text;
    EXPECT_EQ(c.rule == 'd' ? d : c.rule == 'b' ? b : i, c.value) << c.rule << " " << c.text;
  }
  EXPECT_EQ(FormatDouble(-1.5e300), "-1.5e+300");
}
