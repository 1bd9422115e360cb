// Length scales and the process-wide display unit, compared bit for bit.
#include <cstdint>
#include <cstring>

#include "DoRor.h"
#include "NyTestSupport.h"

namespace {

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The display unit is process-wide: every test leaves millimetres behind.
class DisplayUnits : public testing::Test {
protected:
  void TearDown() override { NySetDisplayUnit(DISPLAY_UNIT_MM); }
};

}  // namespace

TEST(LengthUnits, ScalesToAndFromMillimetres) {
  const struct {
    int unit;
    double toMM;
  } cases[] = {{0, 1.0}, {1, 1000.0}, {2, 10.0}, {3, 25.4}, {4, 304.8}, {5, 1.0}, {-1, 1.0}};
  for (const auto& c : cases) {
    const NyLengthUnit unit = static_cast<NyLengthUnit>(c.unit);
    EXPECT_EQ(Bits(NyGetScaleLengthUnitToMM(unit)), Bits(c.toMM)) << c.unit;
    EXPECT_EQ(Bits(NyGetScaleLengthUnitFromMM(unit)), Bits(1.0 / c.toMM)) << c.unit;
  }
  EXPECT_EQ(NyGetScaleLengthUnitFromMM(NY_LENGTH_UNIT_FOOT), 0.0032808398950131233);
}

// Defined first so that, in the suite's own order, it sees the state nobody
// has touched yet; after another test it sees the millimetres put back.
TEST_F(DisplayUnits, MillimetresConvertNothing) {
  EXPECT_EQ(NyGetDisplayUnit(), DISPLAY_UNIT_MM);
  double (*const conversions[])(double) = {NyConvDisplayUnit,        NyConvDisplayUnitSquare,
                                           NyConvDisplayUnitCubic,   NyConvInternalLengthUnit,
                                           NyConvInternalLengthUnitSquare, NyConvInternalLengthUnitCubic};
  for (auto conversion : conversions) {
    for (double value : {-3.5, 0.1, 1e300}) EXPECT_EQ(Bits(conversion(value)), Bits(value)) << value;
  }
  EXPECT_STREQ(NyGetDisplayUnitString(), "mm");
  EXPECT_STREQ(NyGetDisplayUnitSquareString(), "mm2");
  EXPECT_STREQ(NyGetDisplayUnitCubicString(), "mm3");
}

TEST_F(DisplayUnits, AnyOtherUnitIsInchesAndKeptAsGiven) {
  for (int unit : {1, 7, -2}) {
    NySetDisplayUnit(static_cast<DisplayUnit>(unit));
    EXPECT_EQ(NyGetDisplayUnit(), unit);
    // The scale itself shows through a conversion of 1.
    EXPECT_EQ(Bits(NyConvDisplayUnit(1.0)), 0x3FA42850A142850Aull) << unit;
    EXPECT_STREQ(NyGetDisplayUnitString(), "in");
    EXPECT_STREQ(NyGetDisplayUnitSquareString(), "in^2");
    EXPECT_STREQ(NyGetDisplayUnitCubicString(), "in^3");
  }
  NySetDisplayUnit(DISPLAY_UNIT_MM);
  EXPECT_EQ(Bits(NyConvDisplayUnit(0.1)), Bits(0.1));
  EXPECT_STREQ(NyGetDisplayUnitCubicString(), "mm3");
}

// The exact results follow from the order of the single operations; a
// reciprocal multiply or a folded scale squared would change the last bit.
TEST_F(DisplayUnits, InchConversionsRoundOneOperationAtATime) {
  NySetDisplayUnit(DISPLAY_UNIT_INCH);
  EXPECT_EQ(NyConvDisplayUnit(25.4), 0.9999999999999999);
  EXPECT_EQ(NyConvDisplayUnitSquare(645.16), 0.9999999999999999);
  EXPECT_EQ(NyConvDisplayUnitCubic(16387.064), 0.9999999999999999);
  EXPECT_EQ(NyConvInternalLengthUnit(1.0), 25.4);
  EXPECT_EQ(NyConvInternalLengthUnitSquare(1.0), 645.16);
  EXPECT_EQ(NyConvInternalLengthUnitCubic(1.0), 16387.064);
  EXPECT_EQ(NyConvInternalLengthUnitSquare(2.0), 1290.32);
}
