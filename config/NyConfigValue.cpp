#include "config/NyConfigValue.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/NyMultiByte.h"

namespace ny::config {

namespace {

// The C runtime's current decimal point: the host may switch the runtime
// to a native locale whose decimal point is a comma.
std::string DecimalPoint() {
  const lconv* conv = std::localeconv();
  return (conv && conv->decimal_point && *conv->decimal_point) ? conv->decimal_point : ".";
}

// The Microsoft runtime's formatter on Windows, which follows the runtime's
// locale (mingw's own printf would not see a host's setlocale); the C
// library's in the native build.
#ifdef _WIN32
#define RuntimeFormat _snprintf
#else
#define RuntimeFormat std::snprintf
#endif

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-'; }

}  // namespace

std::string FormatDouble(double value) {
  char buffer[64];
  int n = RuntimeFormat(buffer, sizeof buffer - 1, "%.15g", value);
  buffer[(n < 0 || n >= static_cast<int>(sizeof buffer)) ? sizeof buffer - 1 : n] = '\0';
  std::string text(buffer);
  std::string point = DecimalPoint();
  size_t at = text.find(point);
  if (at != std::string::npos) text.replace(at, point.size(), ".");
  return text;
}

std::string FormatLong(long value) {
  char buffer[16];
  RuntimeFormat(buffer, sizeof buffer, "%ld", value);
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

const char* FormatBool(bool value) { return value ? "true" : "false"; }

bool ParseDouble(const char* text, double& value) {
  if (!text) return false;
  std::string work(text);
  std::string point = DecimalPoint();
  size_t dot = work.find('.');
  if (dot != std::string::npos) work.replace(dot, 1, point);
  bool accepted = (!work.empty() && StartsNumber(work[0])) || dot == 0 ||
                  (dot == std::string::npos && !work.empty() && work.compare(0, point.size(), point) == 0);
  if (!accepted) return false;
  value = std::atof(work.c_str());
  return true;
}

bool ParseInt(const char* text, bool boolWords, int& value) {
  if (!text) return false;
  bool word = false;
  if (boolWords && ParseBool(text, word)) {
    value = word ? 1 : 0;
    return true;
  }
  if (!StartsNumber(text[0])) return false;
  value = std::atoi(text);
  return true;
}

bool ParseBool(const char* text, bool& value) {
  if (!text) return false;
  // Most texts are numbers: spare them eight comparisons.
  char first = static_cast<char>(text[0] | 0x20);
  if (first != 't' && first != 'f' && first != 'o' && first != 'y' && first != 'n' && first != '1' &&
      first != '0') {
    return false;
  }
  static const char* const kTrue[] = {"true", "1", "on", "yes"};
  static const char* const kFalse[] = {"false", "0", "off", "no"};
  for (int i = 0; i < 4; ++i) {
    if (ny::mb::CompareAsciiNoCase(text, kTrue[i]) == 0 || ny::mb::CompareAsciiNoCase(text, kFalse[i]) == 0) {
      value = ny::mb::CompareAsciiNoCase(text, kTrue[i]) == 0;
      return true;
    }
  }
  return false;
}

}  // namespace ny::config
