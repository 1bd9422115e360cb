// The text forms of typed values: any text parses without harm, and every
// value written reads back as itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <string>

#include "FuzzSupport.h"
#include "config/NyConfigValue.h"

using namespace ny::config;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const double number = input.ConsumeFloatingPoint<double>();
  const int whole = input.ConsumeIntegral<int>();
  const bool flag = input.ConsumeBool();
  const std::string rest = input.ConsumeRemainingBytesAsString();
  const std::string text = rest.substr(0, rest.find('\0'));

  // Written values read back. A double is written with 15 digits: it reads
  // back within that precision, and writing it again gives the same text.
  // The one exception: a value within the last 15-digit step below the
  // largest double is written rounded up past it and reads back infinite.
  const std::string written = FormatDouble(number);
  FUZZ_CHECK(written.find(',') == std::string::npos);
  double back = 0;
  if (std::isfinite(number)) {
    FUZZ_CHECK(ParseDouble(written.c_str(), back));
    if (std::isinf(back)) {
      FUZZ_CHECK(std::fabs(number) > 1.79769313486231e308);
      return 0;
    }
    FUZZ_CHECK(std::fabs(back - number) <= std::fabs(number) * 1e-14);
    FUZZ_CHECK(FormatDouble(back) == written);
  }
  int readInt = 0;
  FUZZ_CHECK(ParseInt(FormatLong(whole).c_str(), false, readInt) && readInt == whole);
  FUZZ_CHECK(ParseInt(FormatLong(whole).c_str(), true, readInt) && readInt == whole);
  bool readBool = !flag;
  FUZZ_CHECK(ParseBool(FormatBool(flag), readBool) && readBool == flag);

  // Any text: a bool word is also an int with the words allowed.
  double d = 0;
  int i = 0;
  bool b = false;
  ParseDouble(text.c_str(), d);
  const bool isInt = ParseInt(text.c_str(), false, i);
  if (ParseBool(text.c_str(), b)) FUZZ_CHECK(ParseInt(text.c_str(), true, i) && i == (b ? 1 : 0));
  if (isInt) FUZZ_CHECK(ParseDouble(text.c_str(), d));
  return 0;
}
