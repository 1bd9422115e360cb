// String-pool benchmark: NyLoadStringT with the configuration cache on,
// against the platform's profile reader asked the same texts, on a pool
// folder generated at start, with every ratio taken from the same run. It is
// a measurement, not a test: it exits 0 whatever it finds and says in its
// last line how many of its targets were met. A reader that gives a wrong
// text is reported as such, since its speed would then mean nothing.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "NyBench.h"
#include "NyConfig.h"
#include "NyStringPool.h"

namespace {

using nybench::kQueryCount;
using nybench::Rate;
using nybench::Ratio;
using nybench::RemoveTree;

const char* const kLanguages[] = {"ENG", "DEU", "JPN"};
const char kDefaultLanguage[] = "JPN";  // the library's default at start
constexpr int kPools = 10;
constexpr int kSections = 10;  // of 100 keys: 1,000 keys a pool file
constexpr int kKeysPerSection = 100;
// The JPN files alone hold one section more, so that loads of its keys in
// DEU miss the DEU file and fall back to the default language.
constexpr int kFallBackSection = kSections;
// A limit no run here reaches: a cache that flushed itself in the middle of a
// measurement would time reloads instead of loads.
constexpr unsigned long kCacheStringLimit = 10000000;

// ---- Generated pool folder ---------------------------------------------------

// Key numbers run through the file: key 712 is the 13th key of Section07.
std::string SectionName(int keyNo) {
  char name[16];
  std::snprintf(name, sizeof name, "Section%02d", keyNo / kKeysPerSection);
  return name;
}
std::string KeyName(int keyNo) {
  char name[16];
  std::snprintf(name, sizeof name, "Key%04d", keyNo);
  return name;
}
std::string Text(int keyNo, const char* language) {
  return "text of key " + std::to_string(keyNo) + " in " + language;
}
std::string PoolName(int pool) { return "Pool" + std::to_string(pool); }
std::string PoolFile(const std::string& folder, const char* language, int pool) {
  return folder + "\\" + language + "\\" + PoolName(pool) + ".str";
}

// Narrow text with CR LF line ends; each key is stored under its name, "_"
// and the language, as the string pool asks for it.
std::string PoolText(const char* language, int sections) {
  std::string text;
  for (int s = 0; s < sections; ++s) {
    text.append("[").append(SectionName(s * kKeysPerSection)).append("]\r\n");
    for (int k = s * kKeysPerSection; k < (s + 1) * kKeysPerSection; ++k) {
      text.append(KeyName(k))
          .append("_")
          .append(language)
          .append("=")
          .append(Text(k, language))
          .append("\r\n");
    }
  }
  return text;
}

// <folder>\<language>\Pool<n>.str for every language and pool.
bool WritePoolFolder(const std::string& folder) {
  for (const char* language : kLanguages) {
    std::string sub = folder + "\\" + language;
    if (!::CreateDirectoryA(sub.c_str(), nullptr)) return false;
    int sections = std::strcmp(language, kDefaultLanguage) == 0 ? kSections + 1 : kSections;
    std::string text = PoolText(language, sections);
    for (int p = 0; p < kPools; ++p) {
      std::string path = PoolFile(folder, language, p);
      // An hour back: a settled file shows the platform reader as a host meets it.
      if (!nybench::WriteBytes(path, text) || !nybench::StampLastWrite(path, 3600)) return false;
    }
  }
  return true;
}

// ---- Queries ------------------------------------------------------------------

struct Query {
  char pool[8];
  char section[16];
  char key[16];      // as the string pool is asked: "Key0712"
  char entry[24];    // as the file stores it: "Key0712_ENG"
  const char* path;  // the pool's file in the language asked
  int keyNo;
};

// Fixed-seed choices over every pool and the given key numbers, so that every
// run and every reader asks the same texts.
std::vector<Query> MakeQueries(unsigned seed, int firstKey, int lastKey, const char* language,
                               const std::vector<std::string>& paths) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pool(0, kPools - 1);
  std::uniform_int_distribution<int> key(firstKey, lastKey);
  std::vector<Query> queries(kQueryCount);
  for (Query& q : queries) {
    int p = pool(random);
    q.keyNo = key(random);
    std::snprintf(q.pool, sizeof q.pool, "%s", PoolName(p).c_str());
    std::snprintf(q.section, sizeof q.section, "%s", SectionName(q.keyNo).c_str());
    std::snprintf(q.key, sizeof q.key, "%s", KeyName(q.keyNo).c_str());
    std::snprintf(q.entry, sizeof q.entry, "%s_%s", q.key, language);
    q.path = paths[p].c_str();
  }
  return queries;
}

// ---- Timing -------------------------------------------------------------------

// Loads/second of `read` over the queries (see nybench::BestRate), after
// checking its texts against those of the language `expected`.
template <typename Read>
double LoadsPerSecond(const std::vector<Query>& queries, const char* expected, Read read) {
  auto check = [expected](const char* text, const Query& q) {
    return text && Text(q.keyNo, expected) == text;
  };
  return nybench::BestRate(queries, check, read);
}

}  // namespace

int main() {
  std::string folder = nybench::MakeWorkFolder("DoRorStringsBench-");
  if (folder.empty()) {
    std::printf("bench: cannot create a temporary folder\n");
    return 0;
  }
  if (!WritePoolFolder(folder)) {
    std::printf("bench: cannot write the pool files under %s\n", folder.c_str());
    RemoveTree(folder);
    return 0;
  }
  // As a host sets the library up: the folder before the first load fixes it.
  NySetStringPoolPathT(folder.c_str());
  NySetStringPoolLanguage("ENG");
  NySetUseConfigCache(true, kCacheStringLimit);

  std::vector<std::string> engPaths, deuPaths;
  for (int p = 0; p < kPools; ++p) {
    engPaths.push_back(PoolFile(folder, "ENG", p));
    deuPaths.push_back(PoolFile(folder, "DEU", p));
  }
  const int lastKey = kSections * kKeysPerSection - 1;
  std::vector<Query> queries = MakeQueries(42, 0, lastKey, "ENG", engPaths);
  std::vector<Query> fallBack = MakeQueries(43, kFallBackSection * kKeysPerSection,
                                            (kFallBackSection + 1) * kKeysPerSection - 1, "DEU", deuPaths);
  static char buffer[1024];

  std::printf("DoRor string-pool benchmark (ANSI code page %u; %d pools of %d keys in ENG, DEU, JPN)\n\n",
              ::GetACP(), kPools, kSections * kKeysPerSection);
  std::fflush(stdout);

  double platform = LoadsPerSecond(queries, "ENG", [&](const Query& q) {
    ::GetPrivateProfileStringA(q.section, q.entry, "", buffer, sizeof buffer, q.path);
    return static_cast<const char*>(buffer);
  });

  // Warm-up: every ENG file into the cache before the clock runs.
  for (int p = 0; p < kPools; ++p) NyLoadStringT(PoolName(p).c_str(), "Section00", "Key0000");
  double pool =
      LoadsPerSecond(queries, "ENG", [](const Query& q) { return NyLoadStringT(q.pool, q.section, q.key); });
  // The same lookups straight into the cache: what the string pool adds.
  double config = LoadsPerSecond(queries, "ENG", [&](const Query& q) {
    return NyReadConfigT(q.section, q.entry, buffer, q.path) ? static_cast<const char*>(buffer) : nullptr;
  });

  // DEU loads of texts only the JPN files hold: a miss in the DEU file, then
  // the default language's file. Both sets are loaded before the clock runs.
  NySetStringPoolLanguage("DEU");
  for (int p = 0; p < kPools; ++p) NyLoadStringT(PoolName(p).c_str(), "Section10", "Key1000");
  double fallBackRate = LoadsPerSecond(
      fallBack, kDefaultLanguage, [](const Query& q) { return NyLoadStringT(q.pool, q.section, q.key); });
  NySetStringPoolLanguage("ENG");

  NySetUseConfigCache(false);
  double uncached =
      LoadsPerSecond(queries, "ENG", [](const Query& q) { return NyLoadStringT(q.pool, q.section, q.key); });

  std::printf("Random loads of existing texts over the 10 ENG pools\n");
  std::printf("  %-40s %12s %10s\n", "reader", "loads/s", "pool /");
  auto line = [&](const char* name, double rate) {
    std::printf("  %-40s %12s %9.1fx\n", name, Rate(rate).c_str(), Ratio(pool, rate));
  };
  line("NyLoadStringT, cache on", pool);
  line("NyReadConfigT, cache on, same keys", config);
  line("NyLoadStringT, cache off", uncached);
  line("GetPrivateProfileStringA", platform);
  std::printf("  %-40s %12s %10s\n", "NyLoadStringT in DEU, falling back to JPN", Rate(fallBackRate).c_str(),
              "(info)");
  std::printf(
      "  pool /: NyLoadStringT with the cache on against the reader. NyReadConfigT asks the pool files\n"
      "  for \"KeyNNNN_ENG\" itself; the platform reads the same, from files stamped an hour back.\n\n");

  std::printf("Targets\n");
  nybench::Targets targets(36, 12, 1);
  targets.Check("cached loads / platform", Ratio(pool, platform), 100, "x");
  targets.Check("cached loads, thousands per second", pool > 0 ? pool / 1e3 : 0, 200, "");
  RemoveTree(folder);

  targets.PrintSummary();
  return 0;
}
