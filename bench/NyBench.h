// Helpers shared by the benchmarks: the clock, the best-of-rounds rate of a
// reader, the work folder and its files, the output formats and the targets.
// Each benchmark keeps its own files, queries, tables and targets.
#pragma once

// The library's own <windows.h> settings (NOMINMAX keeps std::max usable).
#include "base/NyWindows.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace nybench {

// Every reader is given this many queries; a power of two, because the timing
// loop masks the index.
constexpr size_t kQueryCount = 1 << 16;
constexpr double kReadBudgetSeconds = 0.6;  // for each reader, over all rounds
constexpr int kReadRounds = 3;
constexpr size_t kMaxReads = 20000000;
constexpr size_t kVerifyCount = 200;
constexpr double kVerifyBudgetSeconds = 0.1;  // slow readers check fewer values

// Seconds on the performance counter.
inline double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

// Keeps the timed results observable, so that the compiler cannot drop a read.
inline volatile unsigned g_sink;
inline void Sink(const char* text) { g_sink = g_sink + static_cast<unsigned char>(text ? text[0] : 0); }
inline void Sink(int value) { g_sink = g_sink + static_cast<unsigned>(value); }

// Reads/second of `read` over the queries in turn, after `check(result,
// query)` has passed on up to kVerifyCount of them: the best of a few rounds,
// each bounded by time and by a read cap, so that a moment of interference
// from other work on the machine costs one round, not the figure. The clock
// (a call into the system) is consulted after each batch; batches grow while
// they are short, so a reader of a few hundred nanoseconds is not timed mostly
// on the clock, while one of 30 ms a read still stops close to the budget.
// Negative when a checked value is wrong.
template <typename Query, typename Check, typename Read>
double BestRate(const std::vector<Query>& queries, Check check, Read read) {
  double start = Now();
  for (size_t i = 0; i < kVerifyCount && (i == 0 || Now() - start < kVerifyBudgetSeconds); ++i) {
    if (!check(read(queries[i]), queries[i])) return -1;
  }
  constexpr double kRoundSeconds = kReadBudgetSeconds / kReadRounds;
  const size_t mask = queries.size() - 1;  // the size is a power of two
  double best = 0;
  size_t next = 0;  // each round goes on where the last one stopped
  for (int round = 0; round < kReadRounds; ++round) {
    size_t done = 0;
    size_t batch = 1;
    double elapsed = 0;
    start = Now();
    while (done < kMaxReads / kReadRounds && elapsed < kRoundSeconds) {
      double batchStart = elapsed;
      for (size_t i = 0; i < batch; ++i) Sink(read(queries[(next + i) & mask]));
      done += batch;
      next += batch;
      elapsed = Now() - start;
      if (batch < 4096 && elapsed - batchStart < kRoundSeconds / 1000) batch *= 2;
    }
    best = std::max(best, static_cast<double>(done) / elapsed);
  }
  return best;
}

// ---- Files --------------------------------------------------------------------

inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* f = nullptr;
  if (fopen_s(&f, path.c_str(), "wb") != 0 || !f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// Sets the file's last-write time to `secondsAgo` before now. Wine's profile
// reader keeps a parsed file between calls only once its last write is 2.1
// seconds old (the FAT time resolution); a younger file is parsed again on
// every call. Settled files show the reader as a host meets it; a file
// stamped now shows the parse on every call.
inline bool StampLastWrite(const std::string& path, double secondsAgo) {
  HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t;
  t.LowPart = now.dwLowDateTime;
  t.HighPart = now.dwHighDateTime;
  t.QuadPart -= static_cast<ULONGLONG>(secondsAgo * 1e7);  // 100 ns units
  FILETIME stamp{t.LowPart, t.HighPart};
  bool set = ::SetFileTime(file, nullptr, nullptr, &stamp) != FALSE;
  ::CloseHandle(file);
  return set;
}

// A folder of our own under the temporary folder: <temp><prefix><process id>,
// or "" when it cannot be made.
inline std::string MakeWorkFolder(const char* prefix) {
  char temp[MAX_PATH];
  if (!::GetTempPathA(MAX_PATH, temp)) return "";
  std::string folder = std::string(temp) + prefix + std::to_string(::GetCurrentProcessId());
  return ::CreateDirectoryA(folder.c_str(), nullptr) ? folder : "";
}

// Removes the folder with whatever is in it, subfolders included (a failed
// write-back may leave a temporary file behind).
inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + "\\" + name);
      } else {
        ::DeleteFileA((folder + "\\" + name).c_str());
      }
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

// ---- Output -------------------------------------------------------------------

// A rate as "4.63 M", "172.9 k" or "824.0"; "WRONG VALUE" when negative.
inline std::string Rate(double perSecond) {
  char text[32];
  if (perSecond < 0) return "WRONG VALUE";
  if (perSecond >= 1e6) {
    std::snprintf(text, sizeof text, "%.2f M", perSecond / 1e6);
  } else if (perSecond >= 1e3) {
    std::snprintf(text, sizeof text, "%.1f k", perSecond / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.1f", perSecond);
  }
  return text;
}

// 100000 as "100,000".
inline std::string Count(int n) {
  std::string digits = std::to_string(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return digits;
}

// a / b, or 0 when either could not be measured (0) or was wrong (negative).
inline double Ratio(double a, double b) { return (a > 0 && b > 0) ? a / b : 0; }

// The targets, one PASS or FAIL line each, and the closing summary line. The
// widths and precision are the program's own table layout.
struct Targets {
  int nameWidth;
  int valueWidth;
  int precision;
  int met = 0;
  int total = 0;
  std::vector<std::string> failed;

  Targets(int nameWidth, int valueWidth, int precision)
      : nameWidth(nameWidth), valueWidth(valueWidth), precision(precision) {}

  void Check(const std::string& name, double measured, double needed, const char* unit) {
    bool pass = measured >= needed;
    ++total;
    if (pass) {
      ++met;
    } else {
      failed.push_back(name);
    }
    std::printf("  %s  %-*s %*.*f%s (needs >= %g%s)\n", pass ? "PASS" : "FAIL", nameWidth, name.c_str(),
                valueWidth, precision, measured, unit, needed, unit);
  }

  void PrintSummary() const {
    std::printf("\nSummary: %d of %d targets met", met, total);
    if (!failed.empty()) {
      std::printf("; missed:");
      for (size_t i = 0; i < failed.size(); ++i) std::printf("%s %s", i ? ";" : "", failed[i].c_str());
    }
    std::printf("\n");
  }
};

}  // namespace nybench
