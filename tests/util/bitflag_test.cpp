#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "NyUtil.h"

namespace {

// A set written as its flags from flag 0 on: "101" is size 3, flags 0 and 2 set.
CNyBitFlag Make(const std::string& bits) {
  CNyBitFlag set(static_cast<unsigned int>(bits.size()));
  for (unsigned int i = 0; i < bits.size(); ++i) set[i] = bits[i] == '1';
  return set;
}

// The flags through the read-only access, which never grows the set.
std::string Text(const CNyBitFlag& set) {
  std::string bits;
  for (unsigned int i = 0; i < set.GetSize(); ++i) bits += set[i] ? '1' : '0';
  return bits;
}

TEST(BitFlagTest, CapacityStartsAt16AndDoubles) {
  CNyBitFlag set;
  EXPECT_EQ(0u, set.GetSize());
  EXPECT_EQ(0u, set.m_iCapacity);
  EXPECT_EQ(nullptr, set.m_pFlags);

  struct Step {
    unsigned int size;
    unsigned int capacity;
  } steps[] = {{1, 16}, {16, 16}, {17, 32}, {100, 128}, {3, 128}, {128, 128}, {129, 256}};
  for (const Step& step : steps) {
    ASSERT_TRUE(set.Resize(step.size, false));
    EXPECT_EQ(step.size, set.GetSize());
    EXPECT_EQ(step.capacity, set.m_iCapacity) << "after Resize(" << step.size << ")";
  }

  const CNyBitFlag seventeen(17);
  EXPECT_EQ(32u, seventeen.m_iCapacity);
  EXPECT_EQ(32u, CNyBitFlag(seventeen).m_iCapacity);
}

TEST(BitFlagTest, ResizeFillsOnlyTheNewFlags) {
  CNyBitFlag set;
  ASSERT_TRUE(set.Resize(4, true));
  ASSERT_TRUE(set.Resize(8, false));
  EXPECT_EQ("11110000", Text(set));

  // Shrinking keeps the bytes in the storage; growing again must not bring
  // the old values back.
  ASSERT_TRUE(set.Resize(2, false));
  EXPECT_EQ("11", Text(set));
  ASSERT_TRUE(set.Resize(4, false));
  EXPECT_EQ("1100", Text(set));

  // The same across a reallocation: the flags are copied, the rest take the value.
  ASSERT_TRUE(set.Resize(40, true));
  EXPECT_EQ("1100" + std::string(36, '1'), Text(set));
}

TEST(BitFlagTest, WriteAccessGrowsReadAccessDoesNot) {
  CNyBitFlag set;
  set[20] = true;
  EXPECT_EQ(21u, set.GetSize());
  EXPECT_EQ(std::string(20, '0') + "1", Text(set));

  const CNyBitFlag small = Make("111");
  EXPECT_FALSE(small[20]);
  EXPECT_FALSE(small[UINT_MAX]);
  EXPECT_EQ(3u, small.GetSize());

  // The last index cannot be reached (its size would need 33 bits): the write
  // goes nowhere and the set stays as it was.
  CNyBitFlag edge = Make("1");
  edge[UINT_MAX] = true;
  EXPECT_EQ("1", Text(edge));
  EXPECT_FALSE(edge[UINT_MAX]);
}

TEST(BitFlagTest, CopiesAreIndependent) {
  CNyBitFlag original = Make("1011");
  CNyBitFlag copy(original);
  copy[0] = false;
  EXPECT_EQ("1011", Text(original));
  EXPECT_EQ("0011", Text(copy));
}

TEST(BitFlagTest, AssigningASetNeverShrinks) {
  CNyBitFlag large = Make("00111");
  CNyBitFlag returned = (large = Make("11"));
  EXPECT_EQ("11111", Text(large));
  EXPECT_EQ("11111", Text(returned));

  CNyBitFlag small = Make("1");
  small = Make("01101");
  EXPECT_EQ("01101", Text(small));

  CNyBitFlag& alias = small;
  small = alias;
  EXPECT_EQ("01101", Text(small));
}

TEST(BitFlagTest, AssigningANumberSetsItsBits) {
  struct Case {
    std::string before;
    unsigned int value;
    std::string after;
  } cases[] = {
      {"", 5, "101"},
      {"", 0, ""},
      {"1111", 0, "0000"},      // cleared, size kept
      {"111111", 2, "010000"},  // flags above the value cleared
      {"1", 6, "011"},          // grown to the value's bits
      {"", 0x80000000u, std::string(31, '0') + "1"},
      {"", UINT_MAX, std::string(32, '1')},
  };
  for (const Case& c : cases) {
    CNyBitFlag set = Make(c.before);
    CNyBitFlag returned = (set = c.value);
    EXPECT_EQ(c.after, Text(set)) << c.before << " = " << c.value;
    EXPECT_EQ(c.after, Text(returned)) << c.before << " = " << c.value;
  }

  // The value may be the set's own size, which the assignment changes.
  CNyBitFlag own = Make("0000");
  own = own.m_iSize;
  EXPECT_EQ("0010", Text(own));
}

TEST(BitFlagTest, LogicTreatsMissingFlagsAsClear) {
  EXPECT_EQ("010", Text(~Make("101")));
  EXPECT_EQ("", Text(~CNyBitFlag()));

  struct Case {
    std::string a, b, andResult, orResult;
  } cases[] = {
      {"101", "11011", "10000", "11111"},
      {"11011", "101", "10000", "11111"},
      {"", "01", "00", "01"},
      {"0110", "0101", "0100", "0111"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.andResult, Text(Make(c.a) & Make(c.b))) << c.a << " & " << c.b;
    EXPECT_EQ(c.orResult, Text(Make(c.a) | Make(c.b))) << c.a << " | " << c.b;

    CNyBitFlag set = Make(c.a);
    EXPECT_EQ(c.andResult, Text(set &= Make(c.b)));
    EXPECT_EQ(c.andResult, Text(set));
    set = Make(c.a);
    set |= Make(c.b);
    // A longer `set` keeps its own size through the assignment.
    EXPECT_EQ(c.orResult, Text(set)) << c.a << " |= " << c.b;
  }
}

TEST(BitFlagTest, Shifts) {
  struct Case {
    std::string bits;
    unsigned int n;
    std::string left, right;
  } cases[] = {
      {"101", 0, "101", "101"},
      {"101", 1, "0101", "010"},
      {"101", 2, "00101", "100"},
      {"101", 3, "000101", "000"},
      {"101", 50, std::string(50, '0') + "101", "000"},
      {"", 2, "00", ""},
  };
  for (const Case& c : cases) {
    const CNyBitFlag set = Make(c.bits);
    EXPECT_EQ(c.left, Text(set << c.n)) << c.bits << " << " << c.n;
    EXPECT_EQ(c.right, Text(set >> c.n)) << c.bits << " >> " << c.n;
    EXPECT_EQ(c.bits, Text(set));
  }

  // A size past the 32-bit count cannot be made.
  EXPECT_EQ(0u, (Make("101") << UINT_MAX).GetSize());
  EXPECT_EQ("000", Text(Make("101") >> UINT_MAX));
}

TEST(BitFlagTest, EqualityExtendsTheShorterSet) {
  struct Case {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"101", "10100", true},  {"101", "10101", false}, {"", "000", true},
      {"", "", true},          {"1", "0", false},       {"0110", "0111", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.equal, Make(c.a) == Make(c.b)) << c.a << " == " << c.b;
    EXPECT_EQ(c.equal, Make(c.b) == Make(c.a)) << c.b << " == " << c.a;
    EXPECT_EQ(!c.equal, Make(c.a) != Make(c.b)) << c.a << " != " << c.b;
  }
}

}  // namespace
