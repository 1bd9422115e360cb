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

  LoadScratch scratch;
  while (const std::string* read = reader->ReadLine()) {
    // A header or key too long to keep makes the file one the cache never
    // rewrites (the cut never reaches the disk).
    if (!file.LoadLine(m_store, read->c_str(), scratch)) file.m_bWritable = false;
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

bool NyConfigCache::ReadValue(const char* section, const char* key, char* value, const char* path,
                              int index) {
  value[0] = '\0';
  CachedConfigFile* file = FindOrLoadFile(path, index);
  if (!file) return false;
  const FoldedText foldedSection(section), foldedKey(key);
  if (const ConfigKeyIndex::Entry* entry = file->FindKey(m_store, foldedSection.View(), foldedKey.View())) {
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
        if (ConfigKeyIndex::Entry* entry = file->FindKey(m_store, foldedSection, foldedKey))
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
    sections = &file->AddSection(m_store, m_store.Add(header.c_str(), header.size()), foldedSection);
  }
  ny::mb::FoldCase(key, foldedKey);
  if (ConfigKeyIndex::Entry* entry = file->FindKey(m_store, foldedSection, foldedKey)) {
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
    file->IndexKey(m_store, first, foldedSection, foldedKey);
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
