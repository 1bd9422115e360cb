// Text forms of typed configuration values: how doubles, ints, longs and
// bools are written to a file and which texts read back as them. The double
// forms always use "." in the file, whatever the C locale's decimal point.
#pragma once

#include <string>

namespace ny::config {

// "%.15g" with the C locale's decimal point replaced by "." (floats are
// widened first, so 0.1f is stored as 0.100000001490116).
std::string FormatDouble(double value);
// "%ld" of a 32-bit value.
std::string FormatLong(long value);
// "true" or "false".
const char* FormatBool(bool value);

// A text whose first character is a digit, "+" or "-", or that starts with a
// decimal point ("." or the locale's), converted as atof does (12abc is 12)
// with the file's "." read as the locale's decimal point. False otherwise.
bool ParseDouble(const char* text, double& value);
// With `boolWords`, "true", "yes", "on", "1" and their opposites read as 1
// and 0 first. Otherwise a text starting with a digit, "+" or "-", converted
// as atoi does (-12x is -12). False for anything else.
bool ParseInt(const char* text, bool boolWords, int& value);
// "true", "1", "on", "yes" and "false", "0", "off", "no", in any letter case.
bool ParseBool(const char* text, bool& value);

}  // namespace ny::config
