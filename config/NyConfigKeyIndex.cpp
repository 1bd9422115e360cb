#include "config/NyConfigKeyIndex.h"

namespace ny::config {

uint32_t ConfigKeyIndex::Hash(const std::string& section, const std::string& key) {
  // FNV-1a over "section\0key", then a final mix so that the low bits that
  // pick the slot depend on every byte.
  uint64_t h = 14695981039346656037ull;
  auto add = [&h](const std::string& text) {
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  };
  add(section);
  h = (h ^ 0xFFu) * 1099511628211ull;
  add(key);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  uint32_t folded = static_cast<uint32_t>(h);
  return folded > kErased ? folded : folded + 2;
}

void ConfigKeyIndex::Insert(const Entry& entry) {
  if ((m_used + 1) * 2 > m_slots.size()) Rehash(m_slots.empty() ? 16 : m_slots.size() * 2);
  size_t mask = m_slots.size() - 1;
  size_t i = entry.hash & mask;
  while (m_slots[i].hash != kEmpty) i = (i + 1) & mask;
  m_slots[i] = entry;
  ++m_used;
}

void ConfigKeyIndex::Erase(Entry* entry) {
  // The slot stays taken so that the probe sequences running through it hold.
  entry->hash = kErased;
}

void ConfigKeyIndex::Rehash(size_t capacity) {
  std::vector<Entry> old;
  old.swap(m_slots);
  m_slots.assign(capacity, Entry{kEmpty, 0, 0, 0});
  m_used = 0;
  for (const Entry& entry : old) {
    if (entry.hash > kErased) Insert(entry);
  }
}

}  // namespace ny::config
