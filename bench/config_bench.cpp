// Configuration benchmark: the library's cached and direct readers against
// the platform's profile reader and SimpleIni, on files generated at start,
// with every ratio taken from the same run. It is a measurement, not a test:
// it exits 0 whatever it finds and says in its last line how many of its
// targets were met. A reader that gives a wrong value is reported as such,
// since its speed would then mean nothing.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "NyBench.h"
#include "NyConfig.h"
#include "SimpleIni.h"

namespace {

using nybench::kQueryCount;
using nybench::Now;
using nybench::Rate;
using nybench::Ratio;
using nybench::StampLastWrite;
using nybench::WriteBytes;

constexpr int kReadFileKeys[] = {1000, 10000, 100000};
constexpr int kKeysPerSection = 100;
// Keys from this position in a section on hold ints, for the typed reads.
constexpr int kFirstIntKey = 90;
// The readers ask a random sample of this many keys of each file, the same
// number whatever the file's size, so that the figures compare the cost of a
// lookup and not how much of a large file fits the processor's caches. The
// cache is also timed over all keys of each file ("all keys"), where a read
// of a 100,000-key file mostly waits for memory.
constexpr int kSampleKeys = 1000;
constexpr int kLoadRepeats = 5;
constexpr int kFlushRepeats = 5;
// A limit no file here reaches: a cache that flushed itself in the middle
// of a measurement would time reloads instead of reads.
constexpr unsigned long kCacheStringLimit = 10000000;
constexpr size_t kLoadFileBytes = 10 * 1000 * 1000;

// ---- Generated files --------------------------------------------------------

struct Query {
  char section[16];
  char key[16];
  int sectionNo;
  int keyNo;
};

void SectionName(int s, char* out, size_t size) { std::snprintf(out, size, "Section%05d", s); }
void KeyName(int s, int k, char* out, size_t size) { std::snprintf(out, size, "Key%04d_%02d", s, k); }
int IntValue(int s, int k) { return s * 1000 + k; }
std::string ValueText(int s, int k) {
  char text[48];
  if (k < kFirstIntKey) {
    std::snprintf(text, sizeof text, "value text %d %d", s, k);
  } else {
    std::snprintf(text, sizeof text, "%d", IntValue(s, k));
  }
  return text;
}

// Narrow text with CR LF line ends, `sections` sections of 100 keys.
std::string IniText(int sections) {
  std::string text;
  text.reserve(static_cast<size_t>(sections) * kKeysPerSection * 30);
  char name[16];
  for (int s = 0; s < sections; ++s) {
    SectionName(s, name, sizeof name);
    text.append("[").append(name).append("]\r\n");
    for (int k = 0; k < kKeysPerSection; ++k) {
      KeyName(s, k, name, sizeof name);
      text.append(name).append("=").append(ValueText(s, k)).append("\r\n");
    }
  }
  return text;
}

// The same text as UTF-16LE behind the byte-order mark FF FE. The text is
// ASCII, so each byte widens to one code unit.
std::string Utf16Bytes(const std::string& narrow) {
  std::string bytes("\xFF\xFE", 2);
  bytes.reserve(2 + narrow.size() * 2);
  for (char c : narrow) bytes.append(1, c).append(1, '\0');
  return bytes;
}

// The limit a lookup is measured against: every (section, key) pair of the
// file in a bare hash map, keyed by the exact names with a zero byte between
// them (no case folding, no file order, no limits).
class BareMap {
 public:
  explicit BareMap(int sections) {
    char section[16], key[16];
    m_values.reserve(static_cast<size_t>(sections) * kKeysPerSection);
    for (int s = 0; s < sections; ++s) {
      SectionName(s, section, sizeof section);
      for (int k = 0; k < kKeysPerSection; ++k) {
        KeyName(s, k, key, sizeof key);
        m_values.emplace(Key(section, key), ValueText(s, k));
      }
    }
  }

  // The value copied into `value` (1024 bytes) as the cache's read copies
  // it, at most 1023 bytes; the empty text for a missing pair.
  const char* Read(const char* section, const char* key, char* value) {
    auto found = m_values.find(Key(section, key));
    size_t n = found == m_values.end() ? 0 : std::min<size_t>(found->second.size(), 1023);
    if (n) std::memcpy(value, found->second.data(), n);
    value[n] = '\0';
    return value;
  }

 private:
  // The map's key, built in a string that keeps its capacity from one
  // lookup to the next, so that a lookup allocates nothing.
  const std::string& Key(const char* section, const char* key) {
    m_key.assign(section).append(1, '\0').append(key);
    return m_key;
  }

  std::unordered_map<std::string, std::string> m_values;
  std::string m_key;
};

// Fixed-seed choices, so that every run and every reader asks the same keys:
// random keys of a random sample of `sampleKeys` keys of the file (0: of all
// its keys). Typed queries ask only the int keys.
std::vector<Query> MakeQueries(int sections, bool typed, unsigned seed, int sampleKeys) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> section(0, sections - 1);
  std::uniform_int_distribution<int> key(typed ? kFirstIntKey : 0, kKeysPerSection - 1);
  std::vector<std::pair<int, int>> sample;
  if (sampleKeys > 0) {
    std::vector<std::pair<int, int>> all;
    for (int s = 0; s < sections; ++s) {
      for (int k = typed ? kFirstIntKey : 0; k < kKeysPerSection; ++k) all.emplace_back(s, k);
    }
    std::shuffle(all.begin(), all.end(), random);
    sample.assign(all.begin(), all.begin() + std::min<size_t>(all.size(), static_cast<size_t>(sampleKeys)));
  }
  std::vector<Query> queries(kQueryCount);
  for (Query& q : queries) {
    if (sample.empty()) {
      q.sectionNo = section(random);
      q.keyNo = key(random);
    } else {
      const auto& picked = sample[random() % sample.size()];
      q.sectionNo = picked.first;
      q.keyNo = picked.second;
    }
    SectionName(q.sectionNo, q.section, sizeof q.section);
    KeyName(q.sectionNo, q.keyNo, q.key, sizeof q.key);
  }
  return queries;
}

// ---- Timing -----------------------------------------------------------------

bool Matches(const char* text, const Query& q) { return text && ValueText(q.sectionNo, q.keyNo) == text; }
bool Matches(int value, const Query& q) { return value == IntValue(q.sectionNo, q.keyNo); }

// Reads/second of `read` over the queries (see nybench::BestRate), checked
// against the generated values.
template <typename Read>
double ReadsPerSecond(const std::vector<Query>& queries, Read read) {
  return nybench::BestRate(
      queries, [](const auto& value, const Query& q) { return Matches(value, q); }, read);
}

// ---- The measurements ---------------------------------------------------------

struct ReadRow {
  int keys;
  double cached, cachedInt, cachedAll, direct, platform, platformFresh, simpleIni, limit;
};

ReadRow MeasureReads(const std::string& path, int keys) {
  const char* file = path.c_str();
  int sections = keys / kKeysPerSection;
  std::vector<Query> queries = MakeQueries(sections, false, 42, kSampleKeys);
  std::vector<Query> intQueries = MakeQueries(sections, true, 43, kSampleKeys);
  std::vector<Query> allQueries = MakeQueries(sections, false, 44, 0);
  static char buffer[1024];
  ReadRow row{keys, 0, 0, 0, 0, 0, 0, 0, 0};

  {
    CSimpleIniA ini;  // case-insensitive, single key, ANSI: its defaults
    if (ini.LoadFile(file) >= 0) {
      row.simpleIni = ReadsPerSecond(queries, [&](const Query& q) { return ini.GetValue(q.section, q.key); });
    } else {
      row.simpleIni = -1;
    }
  }
  auto platform = [&](const Query& q) {
    ::GetPrivateProfileStringA(q.section, q.key, "", buffer, sizeof buffer, file);
    return static_cast<const char*>(buffer);
  };
  row.platform = ReadsPerSecond(queries, platform);
  // Verification and timing stay well inside the 2.1 seconds.
  row.platformFresh = StampLastWrite(path, 0) ? ReadsPerSecond(queries, platform) : -1;

  NySetUseConfigCache(false);
  row.direct = ReadsPerSecond(queries, [&](const Query& q) {
    return NyReadConfigT(q.section, q.key, buffer, file) ? static_cast<const char*>(buffer) : nullptr;
  });

  NySetUseConfigCache(true, kCacheStringLimit);
  // The first read loads the file; verification does it before the clock runs.
  row.cached = ReadsPerSecond(queries, [&](const Query& q) {
    return NyReadConfigT(q.section, q.key, buffer, file) ? static_cast<const char*>(buffer) : nullptr;
  });
  // Right after the cache, so that both meet the machine in the same state.
  BareMap bare(sections);
  row.limit = ReadsPerSecond(queries, [&](const Query& q) { return bare.Read(q.section, q.key, buffer); });
  row.cachedInt = ReadsPerSecond(intQueries, [&](const Query& q) {
    int value = -1;
    return NyReadConfigT(q.section, q.key, value, file) ? value : -1;
  });
  row.cachedAll = ReadsPerSecond(allQueries, [&](const Query& q) {
    return NyReadConfigT(q.section, q.key, buffer, file) ? static_cast<const char*>(buffer) : nullptr;
  });
  NySetUseConfigCache(false);
  return row;
}

struct LoadRow {
  const char* encoding;
  size_t bytes;
  int keys;
  double bestSeconds;  // negative: the loaded file gave a wrong value
};

// The first cached read of a file loads it whole; the best of a few runs.
LoadRow MeasureLoad(const char* encoding, const std::string& path, size_t bytes, int sections) {
  LoadRow row{encoding, bytes, sections * kKeysPerSection, 1e30};
  char section[16], key[16], value[1024];
  int s = sections - 1, k = kKeysPerSection - 1;  // the last key: the whole file must be in
  SectionName(s, section, sizeof section);
  KeyName(s, k, key, sizeof key);
  NySetUseConfigCache(true, kCacheStringLimit);
  for (int r = 0; r < kLoadRepeats; ++r) {
    NyFlashConfigCache();
    double start = Now();
    bool read = NyReadConfigT(section, key, value, path.c_str());
    double seconds = Now() - start;
    if (!read || ValueText(s, k) != value) {
      row.bestSeconds = -1;
      break;
    }
    row.bestSeconds = std::min(row.bestSeconds, seconds);
  }
  NySetUseConfigCache(false);
  return row;
}

// Writing back one changed value of a loaded file: best and worst of a few
// runs, or negative when the flush failed or the value did not reach the disk.
void MeasureFlush(const std::string& path, double& best, double& worst) {
  best = 1e30;
  worst = 0;
  char value[1024];
  NySetUseConfigCache(true, kCacheStringLimit);
  for (int r = 0; r < kFlushRepeats; ++r) {
    std::string written = "changed value " + std::to_string(r);
    NyReadConfigT("Section00000", "Key0000_00", value, path.c_str());
    NyWriteConfigT("Section00000", "Key0000_00", written.c_str(), path.c_str());
    double start = Now();
    bool flushed = NyFlashConfigCache();
    double seconds = Now() - start;
    ::GetPrivateProfileStringA("Section00000", "Key0000_00", "", value, sizeof value, path.c_str());
    if (!flushed || written != value) {
      best = worst = -1;
      break;
    }
    best = std::min(best, seconds);
    worst = std::max(worst, seconds);
  }
  NySetUseConfigCache(false);
}

}  // namespace

int main() {
  std::string folder = nybench::MakeWorkFolder("DoRorBench-");
  if (folder.empty()) {
    std::printf("bench: cannot create a temporary folder\n");
    return 1;
  }
  std::printf("DoRor configuration benchmark (ANSI code page %u; %d keys a section; reads/second)\n\n",
              ::GetACP(), kKeysPerSection);

  std::printf(
      "Random reads of existing keys (a sample of %d keys of each file; all keys: of the whole file)\n",
      kSampleKeys);
  std::printf("  %8s %11s %11s %11s %11s %11s %11s %11s %11s\n", "keys", "cache", "cache int&", "cache, all",
              "direct", "platform", "plat. fresh", "SimpleIni", "limit");
  std::fflush(stdout);
  std::vector<ReadRow> rows;
  for (int keys : kReadFileKeys) {
    std::string path = folder + "\\keys" + std::to_string(keys) + ".ini";
    if (!WriteBytes(path, IniText(keys / kKeysPerSection)) || !StampLastWrite(path, 3600)) {
      std::printf("bench: cannot write %s\n", path.c_str());
      continue;
    }
    ReadRow row = MeasureReads(path, keys);
    rows.push_back(row);
    std::printf("  %8d %11s %11s %11s %11s %11s %11s %11s %11s\n", keys, Rate(row.cached).c_str(),
                Rate(row.cachedInt).c_str(), Rate(row.cachedAll).c_str(), Rate(row.direct).c_str(),
                Rate(row.platform).c_str(), Rate(row.platformFresh).c_str(), Rate(row.simpleIni).c_str(),
                Rate(row.limit).c_str());
    std::fflush(stdout);
  }
  std::printf(
      "  cache: NyReadConfigT into char[1024], cache on; cache int&: its int form on int values;\n"
      "  cache, all: NyReadConfigT on random keys of the whole file (memory-bound on large files);\n"
      "  direct: NyReadConfigT, cache off; platform: GetPrivateProfileStringA on a settled file;\n"
      "  plat. fresh: the same on a file written just now, which Wine parses on every call;\n"
      "  SimpleIni: CSimpleIniA::GetValue on the object loaded once;\n"
      "  limit: the same keys in a bare std::unordered_map of the file's pairs, value copied out.\n\n");
  std::printf("The cache's rate against the others (limit: the fraction of the bare map's rate)\n");
  std::printf("  %8s %11s %11s %11s %11s %11s\n", "keys", "platform", "plat. fresh", "SimpleIni", "direct",
              "limit");
  for (const ReadRow& row : rows) {
    std::printf("  %8d %10.0fx %10.0fx %10.1fx %10.0fx %11.2f\n", row.keys, Ratio(row.cached, row.platform),
                Ratio(row.cached, row.platformFresh), Ratio(row.cached, row.simpleIni),
                Ratio(row.cached, row.direct), Ratio(row.cached, row.limit));
  }
  std::printf("\n");

  std::printf("Loading a file into the cache (first read after a flush, best of %d)\n", kLoadRepeats);
  std::printf("  %-10s %8s %8s %10s %10s\n", "encoding", "MB", "keys", "ms", "MB/s");
  std::vector<LoadRow> loads;
  {
    // About 28 bytes a key line in ANSI and twice that in UTF-16.
    int ansiSections = static_cast<int>(kLoadFileBytes / (28 * kKeysPerSection));
    std::string ansi = IniText(ansiSections);
    std::string wide = Utf16Bytes(IniText(ansiSections / 2));
    std::string ansiPath = folder + "\\load-ansi.ini", widePath = folder + "\\load-utf16.ini";
    loads.push_back(WriteBytes(ansiPath, ansi) ? MeasureLoad("ANSI", ansiPath, ansi.size(), ansiSections)
                                               : LoadRow{"ANSI", 0, 0, -1});
    loads.push_back(WriteBytes(widePath, wide)
                        ? MeasureLoad("UTF-16LE", widePath, wide.size(), ansiSections / 2)
                        : LoadRow{"UTF-16LE", 0, 0, -1});
  }
  for (const LoadRow& row : loads) {
    if (row.bestSeconds < 0) {
      std::printf("  %-10s FAILED (file not written, or a wrong value after loading)\n", row.encoding);
      continue;
    }
    std::printf("  %-10s %8.1f %8d %10.1f %10.1f\n", row.encoding, row.bytes / 1e6, row.keys,
                row.bestSeconds * 1e3, row.bytes / 1e6 / row.bestSeconds);
  }
  std::printf("\n");

  double flushBest = -1, flushWorst = -1;
  MeasureFlush(folder + "\\keys10000.ini", flushBest, flushWorst);
  if (flushBest < 0) {
    std::printf("Flushing a dirty 10,000-key file: FAILED (flush false or value not on disk)\n\n");
  } else {
    std::printf("Flushing a dirty 10,000-key file (one value changed): best %.1f ms, worst %.1f ms of %d\n\n",
                flushBest * 1e3, flushWorst * 1e3, kFlushRepeats);
  }
  std::fflush(stdout);

  std::printf("Targets\n");
  nybench::Targets targets(44, 10, 2);
  // A measurement that could not be made counts as a missed target.
  auto row = [&](int keys) {
    for (const ReadRow& r : rows) {
      if (r.keys == keys) return r;
    }
    return ReadRow{keys, 0, 0, 0, 0, 0, 0, 0, 0};
  };
  targets.Check("cache / platform, 10,000 keys", Ratio(row(10000).cached, row(10000).platform), 1000, "x");
  targets.Check("cache 100,000 keys / cache 1,000 keys", Ratio(row(100000).cached, row(1000).cached), 0.5,
                "x");
  std::printf(
      "  info  cache 100,000 / 1,000 keys, all keys            %10.2fx (random over the whole file)\n",
      Ratio(row(100000).cachedAll, row(1000).cachedAll));
  for (int keys : kReadFileKeys) {
    targets.Check("cache / SimpleIni, " + nybench::Count(keys) + " keys",
                  Ratio(row(keys).cached, row(keys).simpleIni), 1, "x");
  }
  for (const LoadRow& l : loads) {
    double rate = l.bestSeconds > 0 ? l.bytes / 1e6 / l.bestSeconds : 0;
    targets.Check(std::string("loading ") + l.encoding + ", MB/s", rate, 50, "");
  }
  NySetUseConfigCache(false);
  nybench::RemoveTree(folder);

  targets.PrintSummary();
  return 0;
}
