#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

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

TEST(BitFlagTest, CapacityResizeAndAccess) {
  CNyBitFlag set;
  EXPECT_EQ(0u, set.m_iCapacity);
  for (auto [size, capacity] : {std::pair{1u, 16u}, {32u, 32u}, {100u, 128u}, {3u, 128u}, {129u, 256u}}) {
    set.Resize(size, false);
    EXPECT_EQ(capacity, set.m_iCapacity) << "after Resize(" << size << ")";
  }
  const CNyBitFlag seventeen(17);
  EXPECT_EQ(32u, CNyBitFlag(seventeen).m_iCapacity);

  // Shrinking keeps the old bytes in storage; growing, with or without a
  // reallocation, must not bring them back and fills with the value given.
  CNyBitFlag fill = Make("1111");
  for (unsigned int size : {2, 4}) fill.Resize(size, false);
  for (unsigned int size : {6, 40}) fill.Resize(size, true);
  EXPECT_EQ("110011" + std::string(34, '1'), Text(fill));

  // A write grows the set, a read does not; flag UINT_MAX cannot be reached.
  CNyBitFlag grown;
  grown[20] = true;
  EXPECT_FALSE(static_cast<const CNyBitFlag&>(grown)[UINT_MAX]);
  grown[UINT_MAX] = true;
  EXPECT_FALSE(grown[UINT_MAX]);
  EXPECT_EQ(std::string(20, '0') + "1", Text(grown));
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
  CNyBitFlag own = Make("0000");  // the value may be the size the assignment changes
  own = own.m_iSize;
  EXPECT_EQ("0010", Text(own));
}

// Missing flags count as clear in logic and equality.
TEST(BitFlagTest, LogicEqualityAndShifts) {
  EXPECT_EQ("010", Text(~Make("101")));
  const struct {
    std::string a, b, andResult, orResult;
    bool equal;
  } cases[] = {{"101", "11011", "10000", "11111", false},
               {"11011", "101", "10000", "11111", false},
               {"", "01", "00", "01", false},
               {"0110", "0101", "0100", "0111", false},
               {"101", "10100", "10100", "10100", true},
               {"", "000", "000", "000", true}};
  for (const auto& c : cases) {
    const std::string what = c.a + ", " + c.b;
    EXPECT_EQ(c.andResult, Text(Make(c.a) & Make(c.b))) << what;
    EXPECT_EQ(c.orResult, Text(Make(c.a) | Make(c.b))) << what;
    CNyBitFlag x = Make(c.a), y = Make(c.a);
    EXPECT_EQ(c.andResult + c.orResult, Text(x &= Make(c.b)) + Text(y |= Make(c.b))) << what;
    EXPECT_EQ(c.andResult + c.orResult, Text(x) + Text(y)) << what;
    EXPECT_EQ(c.equal, Make(c.a) == Make(c.b)) << what;
    EXPECT_EQ(c.equal, Make(c.b) == Make(c.a)) << what;
    EXPECT_EQ(!c.equal, Make(c.a) != Make(c.b)) << what;
  }

  const struct {
    std::string bits;
    unsigned int n;
    std::string left, right;
  } shifts[] = {{"101", 0, "101", "101"},
                {"101", 1, "0101", "010"},
                {"101", 3, "000101", "000"},
                {"101", 50, std::string(50, '0') + "101", "000"},
                {"", 2, "00", ""}};
  for (const auto& c : shifts) {
    EXPECT_EQ(c.left, Text(Make(c.bits) << c.n)) << c.bits << " << " << c.n;
    EXPECT_EQ(c.right, Text(Make(c.bits) >> c.n)) << c.bits << " >> " << c.n;
  }
  EXPECT_EQ(0u, (Make("101") << UINT_MAX).GetSize());  // past the 32-bit count
  EXPECT_EQ("000", Text(Make("101") >> UINT_MAX));
}

}  // namespace
