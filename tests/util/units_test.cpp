// Length scales and the process-wide display unit. EXPECT_EQ on doubles is
// bit-exact for these values.
#include "DoRor.h"
#include "NyTestSupport.h"

TEST(LengthUnits, ScalesToAndFromMillimetres) {
  const struct {
    int unit;
    double toMM, fromMM;
  } cases[] = {{0, 1.0, 1.0},
               {1, 1000.0, 0.001},
               {2, 10.0, 0.1},
               {3, 25.4, 0.03937007874015748},
               {4, 304.8, 0.0032808398950131233},
               {5, 1.0, 1.0},
               {-1, 1.0, 1.0}};
  for (const auto& c : cases) {
    EXPECT_EQ(NyGetScaleLengthUnitToMM(static_cast<NyLengthUnit>(c.unit)), c.toMM) << c.unit;
    EXPECT_EQ(NyGetScaleLengthUnitFromMM(static_cast<NyLengthUnit>(c.unit)), c.fromMM) << c.unit;
  }
}

// First in its suite, so it sees the untouched process-wide state; every test
// leaves millimetres behind.
TEST(DisplayUnits, MillimetresConvertNothing) {
  EXPECT_EQ(NyGetDisplayUnit(), DISPLAY_UNIT_MM);
  for (auto conversion :
       {NyConvDisplayUnit, NyConvDisplayUnitSquare, NyConvDisplayUnitCubic, NyConvInternalLengthUnit,
        NyConvInternalLengthUnitSquare, NyConvInternalLengthUnitCubic}) {
    EXPECT_EQ(conversion(0.1), 0.1);
  }
  EXPECT_STREQ(NyGetDisplayUnitString(), "mm");
  EXPECT_STREQ(NyGetDisplayUnitSquareString(), "mm2");
  EXPECT_STREQ(NyGetDisplayUnitCubicString(), "mm3");
}

// Any unit but millimetres, kept as given, means inches. One rounded operation
// at a time: a reciprocal multiply or a folded scale squared changes the last bit.
TEST(DisplayUnits, AnyOtherUnitIsInchesRoundedOneOperationAtATime) {
  for (int unit : {1, 7, -2}) {
    NySetDisplayUnit(static_cast<DisplayUnit>(unit));
    EXPECT_EQ(NyGetDisplayUnit(), unit);
    EXPECT_EQ(NyConvDisplayUnit(25.4), 0.9999999999999999) << unit;
    EXPECT_EQ(NyConvDisplayUnitSquare(645.16), 0.9999999999999999);
    EXPECT_EQ(NyConvDisplayUnitCubic(16387.064), 0.9999999999999999);
    EXPECT_EQ(NyConvInternalLengthUnit(1.0), 25.4);
    EXPECT_EQ(NyConvInternalLengthUnitSquare(1.0), 645.16);
    EXPECT_EQ(NyConvInternalLengthUnitCubic(1.0), 16387.064);
    EXPECT_STREQ(NyGetDisplayUnitString(), "in");
    EXPECT_STREQ(NyGetDisplayUnitSquareString(), "in^2");
    EXPECT_STREQ(NyGetDisplayUnitCubicString(), "in^3");
  }
  NySetDisplayUnit(DISPLAY_UNIT_MM);
  EXPECT_EQ(NyConvDisplayUnit(0.1), 0.1);
  EXPECT_STREQ(NyGetDisplayUnitCubicString(), "mm3");
}
