// A configuration file loaded into the cache's store and key table, then
// queried: every answer must be the one of a plain model, an ordered map of
// (section, key) to the value of the pair's first key line in file order.
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "FuzzSupport.h"
#include "base/NyMultiByte.h"
#include "config/NyConfigKeyTable.h"

using namespace ny::config;

namespace {

std::string Folded(const std::string& text) {
  std::string folded;
  ny::mb::FoldCase(text.c_str(), folded);
  return folded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConfigStringStore store;
  ConfigKeyTable table;
  LoadScratch scratch;
  std::map<std::pair<std::string, std::string>, std::string> model;
  std::set<std::string> sections, keys;
  // The folded name of the current section; none before the first header
  // and under a header too long to keep (its keys are kept apart).
  std::optional<std::string> section;
  bool anySection = false;
  for (const std::string& line : fuzz::Lines(data, size)) {
    const bool kept = table.LoadLine(store, line.c_str(), scratch);
    if (IsSectionLine(line.c_str())) {
      // Only a header too long for the store is lost.
      FUZZ_CHECK(kept == (line.size() <= ConfigStringStore::kMaxTextBytes));
      anySection = true;
      std::string name = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
      section = line.size() <= ConfigStringStore::kMaxTextBytes ? std::optional(Folded(name)) : std::nullopt;
      sections.insert(Folded(name));
      continue;
    }
    char key[kLineFieldBufferSize], value[kLineFieldBufferSize];
    const bool isKey = ParseKeyValueLine(line.c_str(), key, value);
    const bool fits = isKey && std::strlen(key) <= ConfigStringStore::kMaxTextBytes;
    // A key line in a section is lost only when its key cannot be kept.
    FUZZ_CHECK(kept == (!anySection || fits || !IsKeyLine(line.c_str())));
    if (!isKey) continue;
    keys.insert(Folded(key));
    if (section && fits) model.emplace(std::pair(*section, Folded(key)), value);
  }
  // Every pair of names met, found exactly when the model has it, with its value.
  size_t queries = 0;
  for (const std::string& s : sections) {
    for (const std::string& k : keys) {
      if (++queries > 4000) return 0;
      const ConfigKeyIndex::Entry* entry = table.FindKey(store, s, k);
      auto expected = model.find(std::pair(s, k));
      FUZZ_CHECK((entry != nullptr) == (expected != model.end()));
      if (entry) FUZZ_CHECK(expected->second == store.TextAt(entry->value));
    }
  }
  return 0;
}
