#include "config/NyConfigCache.h"

#include <cstring>

#include "NyIdentity.h"
#include "config/NyConfigFile.h"
#include "config/NyConfigText.h"
#include "config/NyRetry.h"
#include "identity/NyMultiByte.h"
#include "toolkit/NyWindows.h"

namespace ny::config {

namespace {

constexpr unsigned long kOpenRetryMs = 1000;

// The section name a header line gives: the line without its first and last
// character, so only "[name]" exactly gives the name that lookups find.
std::string SectionName(const char* header) {
  size_t length = std::strlen(header);
  return length >= 2 ? std::string(header + 1, length - 2) : std::string();
}

// A new configuration file starts as UTF-16: just the byte-order mark.
void CreateUnicodeFile(const char* path) {
  FILE* created = nullptr;
  if (fopen_s(&created, path, "ab") != 0 || !created) return;
  std::fwrite("\xFF\xFE", 1, 2, created);
  std::fclose(created);
}

}  // namespace

std::string_view CachedConfigFile::Keep(const std::string& folded) {
  char* copy = static_cast<char*>(m_arena.allocate(folded.size() + 1, 1));
  std::memcpy(copy, folded.data(), folded.size());
  return std::string_view(copy, folded.size());
}

NyConfigCache& TheConfigCache() {
  static NyConfigCache cache;
  return cache;
}

NyConfigCache::~NyConfigCache() { Flush(); }

bool NyConfigCache::HoldsFile(const char* path) const {
  int index = FindFile(path);
  return index >= 0 && m_files[index]->m_bHeld;
}

// The file used last is the usual answer; its path is mostly the very text.
int NyConfigCache::FindFile(const char* path) const {
  if (!m_files.empty() && std::strcmp(m_files[m_iLastUsed]->m_strPath, path) == 0) return m_iLastUsed;
  ny::mb::FoldCase(path, m_foldedPath);
  auto found = m_fileIndex.find(m_foldedPath);
  return found == m_fileIndex.end() ? -1 : found->second;
}

CachedConfigFile* NyConfigCache::FindOrLoadFile(const char* path) {
  int index = FindFile(path);
  if (index < 0) {
    auto file = std::make_unique<CachedConfigFile>(path);
    if (!LoadFile(*file)) return nullptr;
    index = static_cast<int>(m_files.size());
    m_files.push_back(std::move(file));
    ny::mb::FoldCase(path, m_foldedPath);
    m_fileIndex.emplace(m_foldedPath, index);
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
  CachedConfigFile::SectionGroup* group = nullptr;
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
      group = &AddSection(file, headerId, SectionName(line).c_str());
      continue;
    }
    if (!group) continue;
    uint32_t keyId = ConfigStringStore::kInvalidId;
    if (ParseKeyValueLine(line, key, value)) keyId = m_store.Add(key, std::strlen(key));
    if (keyId == ConfigStringStore::kInvalidId) {
      // A key too long to keep makes the file one the cache never rewrites.
      if (IsKeyLine(line)) file.m_bWritable = false;
      continue;
    }
    CachedSection& section = file.m_sections.back();
    uint32_t position = static_cast<uint32_t>(section.keyIds.size());
    section.keyIds.push_back(keyId);
    uint32_t valueId = m_store.Add(value, std::strlen(value));
    section.valueIds.push_back(valueId);
    ny::mb::FoldCase(key, m_foldedKey);
    if (group->firstKeys.find(m_foldedKey) == group->firstKeys.end()) {
      uint32_t index = static_cast<uint32_t>(file.m_sections.size() - 1);
      group->firstKeys.emplace(file.Keep(m_foldedKey), CachedConfigFile::KeyRef{index, position, valueId});
    }
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

// Appends a section and files it under its folded name; returns its group.
CachedConfigFile::SectionGroup& NyConfigCache::AddSection(CachedConfigFile& file, uint32_t headerId,
                                                          const char* name) {
  file.m_sections.push_back(CachedSection{headerId, {}, {}});
  ny::mb::FoldCase(name, m_foldedSection);
  auto group = file.m_groups.find(m_foldedSection);
  if (group == file.m_groups.end()) {
    group = file.m_groups.try_emplace(file.Keep(m_foldedSection), &file.m_arena).first;
  }
  group->second.sections.push_back(static_cast<uint32_t>(file.m_sections.size() - 1));
  return group->second;
}

CachedConfigFile::KeyRef* NyConfigCache::FindKey(CachedConfigFile::SectionGroup& group,
                                                       const char* key) {
  ny::mb::FoldCase(key, m_foldedKey);
  auto found = group.firstKeys.find(m_foldedKey);
  return found == group.firstKeys.end() ? nullptr : &found->second;
}

bool NyConfigCache::ReadValue(const char* section, const char* key, char* value, const char* path) {
  CachedConfigFile* file = FindOrLoadFile(path);
  if (!file) return false;
  value[0] = '\0';
  ny::mb::FoldCase(section, m_foldedSection);
  auto group = file->m_groups.find(m_foldedSection);
  if (group != file->m_groups.end()) {
    if (const auto* ref = FindKey(group->second, key)) {
      const char* text = m_store.Text(ref->valueId);
      size_t n = strnlen(text, kMaxValueBytes);
      std::memcpy(value, text, n);
      value[n] = '\0';
    }
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
  CachedConfigFile* file = FindOrLoadFile(path);
  if (!file) return false;
  file->m_bDirty = true;

  ny::mb::FoldCase(section, m_foldedSection);
  auto found = file->m_groups.find(m_foldedSection);
  if (keyLength == 0) {
    // Empties every section of the name; the headers stay.
    if (found != file->m_groups.end()) {
      for (uint32_t index : found->second.sections) {
        file->m_sections[index].keyIds.clear();
        file->m_sections[index].valueIds.clear();
      }
      found->second.firstKeys.clear();
    }
    return true;
  }
  CachedConfigFile::SectionGroup* group = nullptr;
  if (found != file->m_groups.end()) {
    group = &found->second;
  } else {
    std::string header = "[" + std::string(section) + "]";
    group = &AddSection(*file, m_store.Add(header.c_str(), header.size()), section);
  }
  if (auto* ref = FindKey(*group, key)) {
    uint32_t replaced = m_store.Replace(ref->valueId, value, valueLength);
    if (replaced != ConfigStringStore::kInvalidId) {
      ref->valueId = file->m_sections[ref->section].valueIds[ref->position] = replaced;
    }
  } else if (valueLength > 0) {
    // A new key joins the first section of the name.
    CachedSection& first = file->m_sections[group->sections.front()];
    uint32_t position = static_cast<uint32_t>(first.keyIds.size());
    first.keyIds.push_back(m_store.Add(key, keyLength));
    uint32_t valueId = m_store.Add(value, valueLength);
    first.valueIds.push_back(valueId);
    group->firstKeys.emplace(file->Keep(m_foldedKey),
                             CachedConfigFile::KeyRef{group->sections.front(), position, valueId});
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
