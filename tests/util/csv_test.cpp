#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "NyUtil.h"

namespace {

using Fields = std::vector<std::string>;

TEST(CsvTextLineTest, SplitsFields) {
  const struct {
    std::string line;
    Fields fields;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {",a,,b,", {"", "a", "", "b", ""}},
      {" a , b ", {" a ", " b "}},
      {"a,\"b,c\",d", {"a", "b,c", "d"}},
      {"\"x\"\"y\"", {"x\"y"}},
      {"\"\"", {""}},
      {"ab\"c,d\"e", {"abc,de"}},  // a quote opens a run anywhere in a field
      {"\"a\"\",b", {"a\",b"}},    // unclosed, after a doubled quote: runs to the end
      {"\"a\nb\",c\r\n", {"a\nb", "c\r\n"}},
      {std::string("a,b\0,c", 6), {"a", "b"}},
      {std::string("\0a", 2), {}},
      {"\x95\x5C,\x82\xA0", {"\x95\x5C", "\x82\xA0"}},
  };
  CNyCsvTextLine line("x,y,z");
  for (const auto& c : cases) {
    EXPECT_TRUE(line.SetTextLine(c.line));
    EXPECT_EQ(c.fields, line.Fields()) << "line: " << c.line;
    EXPECT_EQ(static_cast<int>(c.fields.size()), line.NumOfFields()) << "line: " << c.line;
  }
  const CNyCsvTextLine ab("a,b"), copy = ab;
  EXPECT_EQ("b", copy.Field(1));
  EXPECT_EQ("", ab.Field(2));
  EXPECT_EQ("", ab.Field(-1));
}

TEST(CsvTextLineTest, QuotesOnlyWhenNeeded) {
  const struct {
    std::string value, quoted;
  } cases[] = {{"", ""},           {" a;b\t", " a;b\t"},
               {"a,b", "\"a,b\""}, {"a\nb", "\"a\nb\""},
               {"a\r", "\"a\r\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.quoted, CNyCsvTextLine::ConvertToCsvFileString(c.value)) << "value: " << c.value;
  }
}

// Any value without zero bytes comes back as the single field of its quoted form.
TEST(CsvTextLineTest, QuotedValuesSplitBackUnchanged) {
  std::mt19937 random(20240611);
  const std::string chars = ",\"\r\n a";  // mostly these, with any other non-zero byte among them
  std::uniform_int_distribution<int> length(1, 12), pick(0, 9), anyByte(1, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string value;
    for (int i = length(random); i > 0; --i) {
      const int p = pick(random);
      value += p < static_cast<int>(chars.size()) ? chars[p] : static_cast<char>(anyByte(random));
    }
    const std::string quoted = CNyCsvTextLine::ConvertToCsvFileString(value);
    ASSERT_EQ(Fields{value}, CNyCsvTextLine(quoted).Fields()) << "value: " << value << "\nquoted: " << quoted;
  }
}

}  // namespace
