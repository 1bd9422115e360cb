// The text arithmetic of the executable and system queries, apart from the
// platform calls so that it can be checked on its own.
#pragma once

#include <cstdio>
#include <ctime>

namespace ny::util {

// Up to four comma-separated decimal numbers from the start of `text`, as the
// scan format "%d,%d,%d,%d" reads them (blanks before each number skipped,
// reading stops at the first mismatch); the ones not read are 0.
inline void ParseVersionNumbers(const char* text, int* numbers) {
  int read[4] = {0, 0, 0, 0};
  int count = text ? sscanf_s(text, "%d,%d,%d,%d", &read[0], &read[1], &read[2], &read[3]) : 0;
  for (int i = 0; i < 4; ++i) numbers[i] = i < count ? read[i] : 0;
}

// The date of `local` as the number YYYYMMDD.
inline int DateNumber(const std::tm& local) {
  return ((local.tm_year * 100) + local.tm_mon + 190001) * 100 + local.tm_mday;
}

}  // namespace ny::util
