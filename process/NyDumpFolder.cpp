#include "NyDumpFolder.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

#include "base/NyMultiByte.h"

namespace ny::crash {
namespace {

bool HasDumpExtension(const char* path, size_t length) {
  if (length < 4) return false;
  // '.' is never a byte of a double-byte character, so the last four bytes
  // are four single-byte characters when they start with it.
  const char* ext = path + length - 4;
  auto is = [ext](const char* e) {
    for (int i = 0; i < 4; ++i) {
      if (std::tolower(static_cast<unsigned char>(ext[i])) != e[i]) return false;
    }
    return true;
  };
  return is(".dmp") || is(".log");
}

// The C runtime's 64-bit decimal read: blanks, a sign, then digits up to the
// first other character; saturates instead of overflowing.
long long ReadDecimal(const char* p) {
  while (*p == ' ' || (*p >= 9 && *p <= 13)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  unsigned long long value = 0;
  const unsigned long long limit = negative ? 1ULL + LLONG_MAX : LLONG_MAX;
  for (; *p >= '0' && *p <= '9'; ++p) {
    const unsigned digit = static_cast<unsigned>(*p - '0');
    value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
  }
  if (!negative) return static_cast<long long>(value);
  return value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MIN : -static_cast<long long>(value);
}

}  // namespace

bool DumpFileKey(const char* path, long long* key) {
  const size_t length = path ? std::strlen(path) : 0;
  if (!HasDumpExtension(path, length)) return false;
  const std::string stem(path, length - 4);
  const char* underscore = mb::FindLastOf(stem.c_str(), "_");
  *key = ReadDecimal(underscore ? underscore + 1 : stem.c_str());
  return true;
}

std::vector<size_t> DumpFilesToDelete(const std::vector<std::string>& paths, size_t keep) {
  struct Entry {
    long long key;
    size_t index;
  };
  std::vector<Entry> dumps;
  for (size_t i = 0; i < paths.size(); ++i) {
    long long key = 0;
    if (DumpFileKey(paths[i].c_str(), &key)) dumps.push_back({key, i});
  }
  std::vector<size_t> doomed;
  if (dumps.size() <= keep) return doomed;
  // Stable: of equal keys, the one found first goes first.
  std::stable_sort(dumps.begin(), dumps.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
  for (size_t i = 0; i < dumps.size() - keep; ++i) doomed.push_back(dumps[i].index);
  return doomed;
}

std::string OwnDumpPath(const std::string& folder, long long time, unsigned long processId) {
  return folder + "\\dump_" + std::to_string(time) + "-" + std::to_string(processId) + ".dmp";
}

std::string OtherDumpPath(const std::string& ownDumpPath, const char* moduleName, unsigned long processId) {
  const std::string stem = ownDumpPath.substr(0, ownDumpPath.size() >= 4 ? ownDumpPath.size() - 4 : 0);
  return stem + "-" + ModuleBaseName(moduleName) + "-" + std::to_string(processId) + ".dmp";
}

std::string ModuleBaseName(const char* moduleName) {
  if (!moduleName) return std::string();
  const char* cut = mb::FindFirstOf(moduleName, "_.");
  return cut ? std::string(moduleName, cut) : std::string(moduleName);
}

}  // namespace ny::crash
