#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "NyUtil.h"

namespace {

using Fields = std::vector<std::string>;

TEST(CsvTextLineTest, SplitsFields) {
  struct Case {
    std::string line;
    Fields fields;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {",", {"", ""}},
      {"a,,b,", {"a", "", "b", ""}},
      {" a , b ", {" a ", " b "}},
      {"a,\"b,c\",d", {"a", "b,c", "d"}},
      {"\"x\"\"y\"", {"x\"y"}},
      {"\"\"", {""}},
      {"\"\"\"", {"\""}},
      {"\"\"\"\"", {"\""}},
      {"ab\"c,d\"e", {"abc,de"}},   // a quote opens a run anywhere in a field
      {"\"a,b", {"a,b"}},           // unclosed: runs to the end
      {"\"a\"\",b", {"a\",b"}},     // the doubled quote keeps the run open
      {"a,b\r", {"a", "b\r"}},
      {"\"a\nb\",c\r\n", {"a\nb", "c\r\n"}},
      {std::string("a,b\0,c", 6), {"a", "b"}},
      {std::string("\0a", 2), {}},
      {"\x95\x5C,\x82\xA0", {"\x95\x5C", "\x82\xA0"}},  // bytes kept as they are
  };
  for (const Case& c : cases) {
    CNyCsvTextLine line;
    EXPECT_TRUE(line.SetTextLine(c.line));
    EXPECT_EQ(c.fields, line.Fields()) << "line: " << c.line;
    EXPECT_EQ(static_cast<int>(c.fields.size()), line.NumOfFields()) << "line: " << c.line;
  }
}

TEST(CsvTextLineTest, FieldOutOfRangeIsEmpty) {
  const CNyCsvTextLine line("a,b");
  EXPECT_EQ("a", line.Field(0));
  EXPECT_EQ("b", line.Field(1));
  EXPECT_EQ("", line.Field(2));
  EXPECT_EQ("", line.Field(-1));
  EXPECT_EQ("", CNyCsvTextLine().Field(0));
}

TEST(CsvTextLineTest, SetTextLineReplacesFieldsAndCopiesAreIndependent) {
  CNyCsvTextLine line("a,b,c");
  CNyCsvTextLine copy(line);
  CNyCsvTextLine assigned;
  assigned = line;

  line.SetTextLine("x");
  EXPECT_EQ(Fields{"x"}, line.Fields());
  EXPECT_EQ((Fields{"a", "b", "c"}), copy.Fields());
  EXPECT_EQ((Fields{"a", "b", "c"}), assigned.Fields());

  line.SetTextLine("");
  EXPECT_EQ(0, line.NumOfFields());
}

TEST(CsvTextLineTest, QuotesOnlyWhenNeeded) {
  struct Case {
    std::string value, quoted;
  } cases[] = {
      {"", ""},
      {" a b ", " a b "},
      {"a;b\t", "a;b\t"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"a\nb", "\"a\nb\""},
      {"a\r", "\"a\r\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.quoted, CNyCsvTextLine::ConvertToCsvFileString(c.value)) << "value: " << c.value;
  }
}

// Whatever a value holds (but zero bytes), quoting it and splitting the
// result gives it back as the single field.
TEST(CsvTextLineTest, QuotedValuesSplitBackUnchanged) {
  std::mt19937 random(20240611);
  // Mostly the bytes that matter, with any other non-zero byte among them.
  const std::string special = ",\"\r\n a";
  std::uniform_int_distribution<int> length(1, 12), pick(0, 9), anyByte(1, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string value;
    for (int i = length(random); i > 0; --i) {
      int p = pick(random);
      value += p < static_cast<int>(special.size()) ? special[p] : static_cast<char>(anyByte(random));
    }
    const std::string quoted = CNyCsvTextLine::ConvertToCsvFileString(value);
    const CNyCsvTextLine line(quoted);
    ASSERT_EQ(Fields{value}, line.Fields()) << "value: " << value << "\nquoted: " << quoted;
  }
}

}  // namespace
