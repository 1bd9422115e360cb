// One configuration file's sections and keys as the cache keeps them: the
// texts live in the cache's store, the table holds their ids in file order,
// the sections of each name, and the index that finds the first occurrence
// of a pair of section and key. Loading goes line by line through the same
// line rules as the direct reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/NyConfigKeyIndex.h"
#include "config/NyConfigStringStore.h"
#include "config/NyConfigText.h"

namespace ny::config {

struct CachedSection {
  uint32_t headerId = 0;           // the header line as read, or "[name]" for a new section
  uint32_t nameLength = 0;         // the header's length less its first and last character
  std::vector<uint32_t> keyIds;    // in file order
  std::vector<uint32_t> valueIds;  // the i-th value belongs to the i-th key
};

// What loading keeps from line to line: the fields of a key line and the
// folded names of the current section and key (their capacity is kept).
struct LoadScratch {
  char key[kLineFieldBufferSize];
  char value[kLineFieldBufferSize];
  std::string foldedSection, foldedKey;
};

class ConfigKeyTable {
 public:
  // Takes the next line of the file (without its line end): a header opens
  // a section, a key line in a section adds its key and value, every other
  // line is skipped. False when the line's header or key was too long to
  // keep as it is (a cut header keeps its keys apart): a file that lost
  // such a line must never be written back.
  bool LoadLine(ConfigStringStore& store, const char* line, LoadScratch& scratch);

  // Appends a section and files it under its folded name; returns the
  // sections of that name.
  std::vector<uint32_t>& AddSection(const ConfigStringStore& store, uint32_t headerId,
                                    const std::string& foldedName);

  // The index entry of the pair of folded names, confirmed against the
  // stored key and the header's name; null when the pair has no key.
  ConfigKeyIndex::Entry* FindKey(const ConfigStringStore& store, std::string_view foldedSection,
                                 std::string_view foldedKey);

  // Indexes the last key of `section`, whose folded names are given, unless
  // its pair already has an earlier occurrence: lookups answer with the
  // first one in file order.
  void IndexKey(const ConfigStringStore& store, uint32_t section, std::string_view foldedSection,
                std::string_view foldedKey);

  std::vector<CachedSection> m_sections;
  // The sections of each folded name, in file order (for writes).
  std::unordered_map<std::string, std::vector<uint32_t>> m_sectionsByName;
  ConfigKeyIndex m_index;
};

}  // namespace ny::config
