// Length units and the process-wide display unit. Lengths are kept in
// millimetres; the display unit only changes what the user sees.
//
// Hosts compare converted values bit for bit (round trips, table columns), so
// every conversion is a fixed sequence of single double operations. Nothing
// here may be built with -ffast-math or anything that reassociates; products
// and quotients alone give the compiler nothing to contract into an FMA.
#include "NyUtil.h"

namespace {

constexpr double kMillimetresPerInch = 25.4;
// The double nearest 1/25.4 (bits 0x3FA42850A142850A), written out exactly so
// that it never depends on how a compiler folds 1.0 / 25.4.
constexpr double kInchesPerMillimetre = 0x1.42850a142850ap-5;

// Plain process-wide state, as hosts set the unit once from their settings
// and then only read it; no synchronisation is promised.
DisplayUnit g_displayUnit = DISPLAY_UNIT_MM;
double g_displayScale = 1.0;  // display units per millimetre

bool IsMillimetres() { return g_displayUnit == DISPLAY_UNIT_MM; }

}  // namespace

double NyGetScaleLengthUnitToMM(NyLengthUnit unit) {
  switch (unit) {
    case NY_LENGTH_UNIT_MM:
      return 1.0;
    case NY_LENGTH_UNIT_M:
      return 1000.0;
    case NY_LENGTH_UNIT_CM:
      return 10.0;
    case NY_LENGTH_UNIT_INCH:
      return kMillimetresPerInch;
    case NY_LENGTH_UNIT_FOOT:
      return 304.8;
  }
  return 1.0;  // unknown units are taken as millimetres
}

double NyGetScaleLengthUnitFromMM(NyLengthUnit unit) {
  // A quotient, not a table of reciprocals: callers rely on the result being
  // exactly 1.0 / NyGetScaleLengthUnitToMM(unit).
  return 1.0 / NyGetScaleLengthUnitToMM(unit);
}

void NySetDisplayUnit(DisplayUnit unit) {
  // Kept as given, even out of range; anything but millimetres means inches.
  g_displayUnit = unit;
  g_displayScale = unit == DISPLAY_UNIT_MM ? 1.0 : kInchesPerMillimetre;
}

DisplayUnit NyGetDisplayUnit() { return g_displayUnit; }

double NyConvDisplayUnit(double length) { return g_displayScale * length; }

double NyConvDisplayUnitSquare(double area) {
  const double once = g_displayScale * area;
  return once * g_displayScale;
}

double NyConvDisplayUnitCubic(double volume) {
  const double once = g_displayScale * volume;
  const double twice = once * g_displayScale;
  return twice * g_displayScale;
}

double NyConvInternalLengthUnit(double length) { return length / g_displayScale; }

double NyConvInternalLengthUnitSquare(double area) {
  const double once = area / g_displayScale;
  return once / g_displayScale;
}

double NyConvInternalLengthUnitCubic(double volume) {
  const double once = volume / g_displayScale;
  const double twice = once / g_displayScale;
  return twice / g_displayScale;
}

const char* NyGetDisplayUnitString() { return IsMillimetres() ? "mm" : "in"; }

const char* NyGetDisplayUnitSquareString() { return IsMillimetres() ? "mm2" : "in^2"; }

const char* NyGetDisplayUnitCubicString() { return IsMillimetres() ? "mm3" : "in^3"; }
