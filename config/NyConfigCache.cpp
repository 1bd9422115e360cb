#include "config/NyConfigCache.h"

#include "base/NyWindows.h"

#include <cstring>

#include "NyIdentity.h"
#include "base/NyMultiByte.h"
#include "base/NyScopedFile.h"
#include "config/NyConfigFile.h"
#include "config/NyConfigText.h"
#include "config/NyRetry.h"

namespace ny::config {

namespace {

constexpr unsigned long kOpenRetryMs = 1000;

// The section name a header line gives: the line without its first and last
// character, so only "[name]" exactly gives the name that lookups find.
std::string SectionName(const char* header) {
  size_t length = std::strlen(header);
  return length >= 2 ? std::string(header + 1, length - 2) : std::string();
}

// Byte for byte the same text: the usual case for the file used last, and
// cheaper than a call into the runtime.
bool SameText(const char* a, const char* b) {
  for (; *a && *a == *b; ++a) ++b;
  return *a == *b;
}

// A text folded to one case for one lookup (see ny::mb::FoldCase). Texts up
// to the length of a MAX_PATH path are folded in place, so that a cached
// read folds its section, key and path without allocating; longer ones go
// to the heap.
class FoldedText {
 public:
  explicit FoldedText(const char* text) : m_length(text ? std::strlen(text) : 0) {
    char* out = m_short;
    if (m_length > kShortBytes) {
      m_long.resize(m_length);
      out = m_long.data();
    }
    ny::mb::FoldCase(text, m_length, out);
  }
  FoldedText(const FoldedText&) = delete;
  FoldedText& operator=(const FoldedText&) = delete;

  std::string_view View() const { return {m_length > kShortBytes ? m_long.data() : m_short, m_length}; }

 private:
  static constexpr size_t kShortBytes = MAX_PATH;

  size_t m_length;
  char m_short[kShortBytes];  // the folded text when it fits
  std::string m_long;         // when it does not
};

std::string FoldedCopy(const char* text) {
  std::string folded;
  ny::mb::FoldCase(text, folded);
  return folded;
}

// A new configuration file starts as UTF-16: just the byte-order mark.
void CreateUnicodeFile(const char* path) {
  ny::ScopedFile created = ny::OpenScopedFile(path, "ab");
  if (created) std::fwrite("\xFF\xFE", 1, 2, created.get());
}

}  // namespace

CachedConfigFile::CachedConfigFile(const char* path) : m_strPath(path), m_foldedPath(FoldedCopy(path)) {}

NyConfigCache& TheConfigCache() {
  static NyConfigCache cache;
  return cache;
}

NyConfigCache::~NyConfigCache() { Flush(); }

int NyConfigCache::FindFile(const char* path) const {
  if (m_files.empty()) return -1;
  if (SameText(m_files[m_iLastUsed]->m_strPath, path)) return m_iLastUsed;
  const FoldedText folded(path);
  auto found = m_fileIndex.find(folded.View());
  return found == m_fileIndex.end() ? -1 : found->second;
}

CachedConfigFile* NyConfigCache::FindOrLoadFile(const char* path, int index) {
  if (index < 0) index = FindFile(path);
  if (index < 0) {
    auto file = std::make_unique<CachedConfigFile>(path);
    if (!LoadFile(*file)) return nullptr;
    index = static_cast<int>(m_files.size());
    m_files.push_back(std::move(file));
    m_fileIndex.emplace(m_files.back()->m_foldedPath, index);
  }
  m_iLastUsed = index;
  return m_files[index].get();
}

bool NyConfigCache::LoadFile(CachedConfigFile& file) {
  const char* path = file.m_strPath;
  if (!NyIsFileExistT(path)) CreateUnicodeFile(path);
  file.m_bUnicode = IsUnicodeConfigFile(path);
  std::unique_ptr<NyStdioFileForConfigCache> reader;
  if (!RetryFor(kOpenRetryMs, [&] { return (reader = OpenConfigFileForReading(path)) != nullptr; })) {
    return false;
  }

  char key[kLineFieldBufferSize];
  char value[kLineFieldBufferSize];
  // The folded names of the current section and key line; the strings keep
  // their capacity from line to line.
  std::string foldedSection, foldedKey;
  while (const std::string* read = reader->ReadLine()) {
    const char* line = read->c_str();
    if (IsSectionLine(line)) {
      uint32_t headerId = m_store.Add(line, std::strlen(line));
      if (headerId == ConfigStringStore::kInvalidId) {
        // Keep the section's keys apart under a cut header; the file is
        // never written back, so the cut never reaches the disk.
        file.m_bWritable = false;
        headerId = m_store.Add(line, ConfigStringStore::kMaxTextBytes);
      }
      ny::mb::FoldCase(SectionName(line).c_str(), foldedSection);
      AddSection(file, headerId, foldedSection);
      continue;
    }
    if (file.m_sections.empty()) continue;
    uint32_t keyId = ConfigStringStore::kInvalidId;
    if (ParseKeyValueLine(line, key, value)) keyId = m_store.Add(key, std::strlen(key));
    if (keyId == ConfigStringStore::kInvalidId) {
      // A key too long to keep makes the file one the cache never rewrites.
      if (IsKeyLine(line)) file.m_bWritable = false;
      continue;
    }
    CachedSection& section = file.m_sections.back();
    section.keyIds.push_back(keyId);
    section.valueIds.push_back(m_store.Add(value, std::strlen(value)));
    ny::mb::FoldCase(key, foldedKey);
    IndexKey(file, static_cast<uint32_t>(file.m_sections.size() - 1), foldedSection, foldedKey);
  }
  reader->Close();
  Hold(file);
  return true;
}

// Holds a writable file open with writing denied to others until the flush.
// A file that cannot be opened for exclusive writing now (read-only, or open
// in another program) is served from memory and never written back.
void NyConfigCache::Hold(CachedConfigFile& file) {
  if (!file.m_bWritable) return;
  // Asked explicitly, because the exclusive open alone lets a privileged
  // process (an administrator, or Wine run as root) write a read-only file.
  DWORD attributes = ::GetFileAttributesA(file.m_strPath);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return;
  CStdioFile test;
  if (!test.Open(file.m_strPath, CFile::modeWrite | CFile::shareExclusive)) return;
  test.Close();
  file.m_bHeld = file.m_hold.Open(file.m_strPath, CFile::modeRead | CFile::shareDenyWrite) != FALSE;
}

// Appends a section and files it under its folded name; returns the
// sections of that name.
std::vector<uint32_t>& NyConfigCache::AddSection(CachedConfigFile& file, uint32_t headerId,
                                                 const std::string& foldedName) {
  size_t length = std::strlen(m_store.Text(headerId));
  file.m_sections.push_back(
      CachedSection{headerId, static_cast<uint32_t>(length >= 2 ? length - 2 : 0), {}, {}});
  std::vector<uint32_t>& sections = file.m_sectionsByName[foldedName];
  sections.push_back(static_cast<uint32_t>(file.m_sections.size() - 1));
  return sections;
}

// The index entry of the pair of folded names, confirmed against the stored
// key and the header's name.
ConfigKeyIndex::Entry* NyConfigCache::FindKey(CachedConfigFile& file, std::string_view foldedSection,
                                              std::string_view foldedKey) {
  uint32_t hash = ConfigKeyIndex::Hash(foldedSection, foldedKey);
  return file.m_index.Find(hash, [&](const ConfigKeyIndex::Entry& entry) {
    const CachedSection& section = file.m_sections[entry.section];
    return ny::mb::FoldsTo(m_store.TextAt(entry.key), ConfigStringStore::kMaxTextBytes, foldedKey) &&
           ny::mb::FoldsTo(m_store.Text(section.headerId) + 1, section.nameLength, foldedSection);
  });
}

// Indexes the last key of `section`, whose folded names are given, unless
// its pair already has an earlier occurrence: lookups answer with the first
// one in file order.
void NyConfigCache::IndexKey(CachedConfigFile& file, uint32_t section, std::string_view foldedSection,
                             std::string_view foldedKey) {
  if (FindKey(file, foldedSection, foldedKey)) return;
  const CachedSection& s = file.m_sections[section];
  file.m_index.Insert(ConfigKeyIndex::Entry{ConfigKeyIndex::Hash(foldedSection, foldedKey),
                                            m_store.Locate(s.keyIds.back()),
                                            m_store.Locate(s.valueIds.back()), section});
}

bool NyConfigCache::ReadValue(const char* section, const char* key, char* value, const char* path,
                              int index) {
  value[0] = '\0';
  CachedConfigFile* file = FindOrLoadFile(path, index);
  if (!file) return false;
  const FoldedText foldedSection(section), foldedKey(key);
  if (const ConfigKeyIndex::Entry* entry = FindKey(*file, foldedSection.View(), foldedKey.View())) {
    const char* text = m_store.TextAt(entry->value);
    size_t n = 0;
    for (; n < kMaxValueBytes && text[n]; ++n) value[n] = text[n];
    value[n] = '\0';
  }
  return CheckLimits();
}

bool NyConfigCache::WriteValue(const char* section, const char* key, const char* value, const char* path) {
  if (!section) return false;
  if (!value) value = "";
  size_t sectionLength = std::strlen(section);
  size_t keyLength = key ? std::strlen(key) : 0;
  size_t valueLength = std::strlen(value);
  // Refuse, before anything changes, texts that no slot can hold.
  if (sectionLength + 2 > ConfigStringStore::kMaxTextBytes || keyLength > ConfigStringStore::kMaxTextBytes ||
      valueLength > ConfigStringStore::kMaxTextBytes) {
    return false;
  }
  CachedConfigFile* file = FindOrLoadFile(path, -1);
  if (!file) return false;
  file->m_bDirty = true;

  std::string foldedSection, foldedKey;
  ny::mb::FoldCase(section, foldedSection);
  auto named = file->m_sectionsByName.find(foldedSection);
  if (keyLength == 0) {
    // Empties every section of the name; the headers stay.
    if (named == file->m_sectionsByName.end()) return true;
    for (uint32_t index : named->second) {
      CachedSection& emptied = file->m_sections[index];
      for (uint32_t keyId : emptied.keyIds) {
        ny::mb::FoldCase(m_store.Text(keyId), foldedKey);
        if (ConfigKeyIndex::Entry* entry = FindKey(*file, foldedSection, foldedKey))
          file->m_index.Erase(entry);
      }
      emptied.keyIds.clear();
      emptied.valueIds.clear();
    }
    return true;
  }
  std::vector<uint32_t>* sections = nullptr;
  if (named != file->m_sectionsByName.end()) {
    sections = &named->second;
  } else {
    std::string header = "[" + std::string(section) + "]";
    sections = &AddSection(*file, m_store.Add(header.c_str(), header.size()), foldedSection);
  }
  ny::mb::FoldCase(key, foldedKey);
  if (ConfigKeyIndex::Entry* entry = FindKey(*file, foldedSection, foldedKey)) {
    CachedSection& holder = file->m_sections[entry->section];
    for (size_t i = 0; i < holder.keyIds.size(); ++i) {
      if (m_store.Locate(holder.keyIds[i]) != entry->key) continue;
      uint32_t replaced = m_store.Replace(holder.valueIds[i], value, valueLength);
      if (replaced != ConfigStringStore::kInvalidId) {
        holder.valueIds[i] = replaced;
        entry->value = m_store.Locate(replaced);
      }
      break;
    }
  } else if (valueLength > 0) {
    // A new key joins the first section of the name.
    uint32_t first = sections->front();
    CachedSection& target = file->m_sections[first];
    target.keyIds.push_back(m_store.Add(key, keyLength));
    target.valueIds.push_back(m_store.Add(value, valueLength));
    IndexKey(*file, first, foldedSection, foldedKey);
  }
  return CheckLimits();
}

// The limits bound what the cache holds: the count of short texts, and the
// number of files.
bool NyConfigCache::CheckLimits() {
  if (m_store.ShortCount() >= m_dwStringLimit || m_files.size() > kMaxFiles) return Flush();
  return true;
}

}  // namespace ny::config
