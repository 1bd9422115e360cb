#include "config/NyConfigKeyTable.h"

#include <cstring>

#include "base/NyMultiByte.h"

namespace ny::config {

namespace {

// The section name a header line gives: the line without its first and last
// character, so only "[name]" exactly gives the name that lookups find.
std::string SectionName(const char* header) {
  size_t length = std::strlen(header);
  return length >= 2 ? std::string(header + 1, length - 2) : std::string();
}

}  // namespace

bool ConfigKeyTable::LoadLine(ConfigStringStore& store, const char* line, LoadScratch& scratch) {
  if (IsSectionLine(line)) {
    bool kept = true;
    uint32_t headerId = store.Add(line, std::strlen(line));
    if (headerId == ConfigStringStore::kInvalidId) {
      kept = false;
      headerId = store.Add(line, ConfigStringStore::kMaxTextBytes);
    }
    ny::mb::FoldCase(SectionName(line).c_str(), scratch.foldedSection);
    AddSection(store, headerId, scratch.foldedSection);
    return kept;
  }
  if (m_sections.empty()) return true;
  uint32_t keyId = ConfigStringStore::kInvalidId;
  if (ParseKeyValueLine(line, scratch.key, scratch.value))
    keyId = store.Add(scratch.key, std::strlen(scratch.key));
  // A key too long to keep is lost; the caller must not write the file back.
  if (keyId == ConfigStringStore::kInvalidId) return !IsKeyLine(line);
  CachedSection& section = m_sections.back();
  section.keyIds.push_back(keyId);
  section.valueIds.push_back(store.Add(scratch.value, std::strlen(scratch.value)));
  ny::mb::FoldCase(scratch.key, scratch.foldedKey);
  IndexKey(store, static_cast<uint32_t>(m_sections.size() - 1), scratch.foldedSection, scratch.foldedKey);
  return true;
}

std::vector<uint32_t>& ConfigKeyTable::AddSection(const ConfigStringStore& store, uint32_t headerId,
                                                  const std::string& foldedName) {
  size_t length = std::strlen(store.Text(headerId));
  m_sections.push_back(CachedSection{headerId, static_cast<uint32_t>(length >= 2 ? length - 2 : 0), {}, {}});
  std::vector<uint32_t>& sections = m_sectionsByName[foldedName];
  sections.push_back(static_cast<uint32_t>(m_sections.size() - 1));
  return sections;
}

ConfigKeyIndex::Entry* ConfigKeyTable::FindKey(const ConfigStringStore& store, std::string_view foldedSection,
                                               std::string_view foldedKey) {
  uint32_t hash = ConfigKeyIndex::Hash(foldedSection, foldedKey);
  return m_index.Find(hash, [&](const ConfigKeyIndex::Entry& entry) {
    const CachedSection& section = m_sections[entry.section];
    return ny::mb::FoldsTo(store.TextAt(entry.key), ConfigStringStore::kMaxTextBytes, foldedKey) &&
           ny::mb::FoldsTo(store.Text(section.headerId) + 1, section.nameLength, foldedSection);
  });
}

void ConfigKeyTable::IndexKey(const ConfigStringStore& store, uint32_t section,
                              std::string_view foldedSection, std::string_view foldedKey) {
  if (FindKey(store, foldedSection, foldedKey)) return;
  const CachedSection& s = m_sections[section];
  m_index.Insert(ConfigKeyIndex::Entry{ConfigKeyIndex::Hash(foldedSection, foldedKey),
                                       store.Locate(s.keyIds.back()), store.Locate(s.valueIds.back()),
                                       section});
}

}  // namespace ny::config
