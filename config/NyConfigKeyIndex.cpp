#include "config/NyConfigKeyIndex.h"

#include <cstring>

namespace ny::config {

namespace {

// Mixes a text into `h` eight bytes at a time.
uint64_t Mix(uint64_t h, std::string_view text) {
  const char* p = text.data();
  size_t left = text.size();
  for (; left >= 8; p += 8, left -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    h = (h ^ word) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 29;
  }
  uint64_t tail = left;
  for (size_t i = 0; i < left; ++i) tail = (tail << 8) | static_cast<unsigned char>(p[i]);
  h = (h ^ tail) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

}  // namespace

uint32_t ConfigKeyIndex::Hash(std::string_view section, std::string_view key) {
  // The section's length keeps "ab"+"c" apart from "a"+"bc"; the final mix
  // makes the low bits that pick the slot depend on every byte.
  uint64_t h = Mix(Mix(section.size() * 0xC2B2AE3D27D4EB4Full, section), key);
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
