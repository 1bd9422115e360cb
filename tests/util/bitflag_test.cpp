#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "NyUtil.h"

namespace {

// "101" is size 3 with flags 0 and 2 set; Text reads through the const access.
CNyBitFlag Make(const std::string& bits) {
  CNyBitFlag set(static_cast<unsigned int>(bits.size()));
  for (unsigned int i = 0; i < bits.size(); ++i) set[i] = bits[i] == '1';
  return set;
}

std::string Text(const CNyBitFlag& set) {
  std::string bits;
  for (unsigned int i = 0; i < set.GetSize(); ++i) bits += set[i] ? '1' : '0';
  return bits;
}

TEST(BitFlagTest, CapacityStartsAt16AndDoublesAndResizeFillsOnlyNewFlags) {
  CNyBitFlag set;
  EXPECT_EQ(0u, set.m_iCapacity);
  const unsigned int steps[][2] = {{1, 16}, {32, 32}, {100, 128}, {3, 128}, {129, 256}};
  for (const auto& step : steps) {
    set.Resize(step[0], false);
    EXPECT_EQ(step[1], set.m_iCapacity) << "after Resize(" << step[0] << ")";
  }
  const CNyBitFlag seventeen(17);
  EXPECT_EQ(32u, CNyBitFlag(seventeen).m_iCapacity);

  // Shrinking keeps the old bytes in storage; growing, with or without a
  // reallocation, must not bring them back and fills with the value given.
  CNyBitFlag fill = Make("1111");
  for (unsigned int size : {2, 4}) fill.Resize(size, false);
  for (unsigned int size : {6, 40}) fill.Resize(size, true);
  EXPECT_EQ("110011" + std::string(34, '1'), Text(fill));
}

TEST(BitFlagTest, WriteAccessGrowsReadAccessDoesNot) {
  CNyBitFlag set;
  set[20] = true;
  EXPECT_EQ(std::string(20, '0') + "1", Text(set));
  EXPECT_FALSE(static_cast<const CNyBitFlag&>(set)[UINT_MAX]);
  // Flag UINT_MAX cannot be reached: the write goes nowhere.
  set[UINT_MAX] = true;
  EXPECT_EQ(std::string(20, '0') + "1", Text(set));
  EXPECT_FALSE(set[UINT_MAX]);
}

TEST(BitFlagTest, CopyIsDeepAndAssignmentNeverShrinks) {
  CNyBitFlag original = Make("1011"), copy(original);
  copy[0] = false;
  EXPECT_EQ("1011", Text(original));
  EXPECT_EQ("11111", Text(original = Make("11111")));
  EXPECT_EQ("01111", Text(original = Make("0")));
  EXPECT_EQ("01111", Text(original));

  const struct {
    std::string before;
    unsigned int value;
    std::string after;
  } numbers[] = {
      {"1111", 0, "0000"}, {"111111", 2, "010000"}, {"1", 6, "011"}, {"", UINT_MAX, std::string(32, '1')}};
  for (const auto& c : numbers) {
    CNyBitFlag set = Make(c.before);
    EXPECT_EQ(c.after, Text(set = c.value)) << c.before << " = " << c.value;
    EXPECT_EQ(c.after, Text(set)) << c.before << " = " << c.value;
  }
  // The value may be the set's own size, which the assignment changes.
  CNyBitFlag own = Make("0000");
  own = own.m_iSize;
  EXPECT_EQ("0010", Text(own));
}

TEST(BitFlagTest, LogicAndEqualityTreatMissingFlagsAsClear) {
  EXPECT_EQ("010", Text(~Make("101")));
  const struct {
    std::string a, b, andResult, orResult;
  } cases[] = {{"101", "11011", "10000", "11111"},
               {"11011", "101", "10000", "11111"},
               {"", "01", "00", "01"},
               {"0110", "0101", "0100", "0111"}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.andResult, Text(Make(c.a) & Make(c.b))) << c.a << " & " << c.b;
    EXPECT_EQ(c.orResult, Text(Make(c.a) | Make(c.b))) << c.a << " | " << c.b;
    CNyBitFlag x = Make(c.a), y = Make(c.a);
    EXPECT_EQ(c.andResult + c.orResult, Text(x &= Make(c.b)) + Text(y |= Make(c.b))) << c.a << ", " << c.b;
    EXPECT_EQ(c.andResult + c.orResult, Text(x) + Text(y)) << c.a << ", " << c.b;
  }

  const struct {
    std::string a, b;
    bool equal;
  } equality[] = {
      {"101", "10100", true}, {"101", "10101", false}, {"", "000", true}, {"0110", "0111", false}};
  for (const auto& c : equality) {
    EXPECT_EQ(c.equal, Make(c.a) == Make(c.b)) << c.a << " == " << c.b;
    EXPECT_EQ(c.equal, Make(c.b) == Make(c.a)) << c.b << " == " << c.a;
    EXPECT_EQ(!c.equal, Make(c.a) != Make(c.b)) << c.a << " != " << c.b;
  }
}

TEST(BitFlagTest, Shifts) {
  const struct {
    std::string bits;
    unsigned int n;
    std::string left, right;
  } cases[] = {{"101", 0, "101", "101"},
               {"101", 1, "0101", "010"},
               {"101", 3, "000101", "000"},
               {"101", 50, std::string(50, '0') + "101", "000"},
               {"", 2, "00", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.left, Text(Make(c.bits) << c.n)) << c.bits << " << " << c.n;
    EXPECT_EQ(c.right, Text(Make(c.bits) >> c.n)) << c.bits << " >> " << c.n;
  }
  // A size past the 32-bit count cannot be made.
  EXPECT_EQ(0u, (Make("101") << UINT_MAX).GetSize());
  EXPECT_EQ("000", Text(Make("101") >> UINT_MAX));
}

}  // namespace
