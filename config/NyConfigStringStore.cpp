#include "config/NyConfigStringStore.h"

#include <cstring>

namespace ny::config {

namespace {

constexpr size_t kShortLimit = 60;    // short texts are shorter
constexpr size_t kMediumLimit = 200;  // medium texts are shorter
// Locations of slot texts carry this bit; short texts' offsets stay below it.
// Ids end below it too, far beyond what memory could hold.
constexpr uint32_t kSlotFlag = 0x80000000u;

}  // namespace

ConfigStringStore::ConfigStringStore()
    : m_classes{{0, 0, 0x00000000u, 0x10000000u, 0, {}},
                {210, 300, 0x10000000u, 0x20000000u, 0, {}},
                {1034, 60, 0x20000000u, kSlotFlag, 0, {}}} {}

int ConfigStringStore::ClassOfLength(size_t length) {
  if (length < kShortLimit) return 0;
  return length < kMediumLimit ? 1 : 2;
}

int ConfigStringStore::ClassOfId(uint32_t id) const {
  if (id < m_classes[1].firstId) return 0;
  return id < m_classes[2].firstId ? 1 : 2;
}

char* ConfigStringStore::ShortText(uint32_t id) const {
  uint32_t offset = m_shortOffsets[id];
  return m_chunks[offset >> kChunkBits].get() + (offset & (kChunkSize - 1)) + 1;
}

// Packs a short text (below 60 bytes) after the last one.
uint32_t ConfigStringStore::AddShort(const char* text, size_t length) {
  if (m_shortOffsets.size() >= m_classes[0].lastId || m_chunks.size() >= (kSlotFlag >> kChunkBits)) {
    return kInvalidId;
  }
  size_t room = length + 1;
  if (m_chunkUsed + 1 + room > kChunkSize) {
    m_chunks.emplace_back(new char[kChunkSize]);
    m_chunkUsed = 0;
  }
  char* at = m_chunks.back().get() + m_chunkUsed;
  at[0] = static_cast<char>(room);
  std::memcpy(at + 1, text, length);
  at[1 + length] = '\0';
  m_shortOffsets.push_back(static_cast<uint32_t>(((m_chunks.size() - 1) << kChunkBits) | m_chunkUsed));
  m_chunkUsed += 1 + room;
  return static_cast<uint32_t>(m_shortOffsets.size() - 1);
}

char* ConfigStringStore::Slot(uint32_t id) const {
  const SlotClass& c = m_classes[ClassOfId(id)];
  size_t slot = id - c.firstId;
  return c.blocks[slot / c.slotsPerBlock].get() + (slot % c.slotsPerBlock) * c.slotSize;
}

uint32_t ConfigStringStore::Locate(uint32_t id) const {
  return id < m_classes[1].firstId ? m_shortOffsets[id] : (id | kSlotFlag);
}

const char* ConfigStringStore::TextAt(uint32_t location) const {
  if (location & kSlotFlag) return Slot(location & ~kSlotFlag);
  return m_chunks[location >> kChunkBits].get() + (location & (kChunkSize - 1)) + 1;
}

const char* ConfigStringStore::Text(uint32_t id) const {
  return id < m_classes[1].firstId ? ShortText(id) : Slot(id);
}

uint32_t ConfigStringStore::Add(const char* text, size_t length) {
  if (length > kMaxTextBytes) return kInvalidId;
  int cls = ClassOfLength(length);
  if (cls == 0) return AddShort(text, length);
  SlotClass& c = m_classes[cls];
  if (c.next >= c.lastId - c.firstId) return kInvalidId;
  size_t slot = c.next;
  while (c.blocks.size() <= slot / c.slotsPerBlock) {
    c.blocks.emplace_back(new char[c.slotSize * c.slotsPerBlock]);
  }
  uint32_t id = c.firstId + c.next++;
  char* target = Slot(id);
  std::memcpy(target, text, length);
  target[length] = '\0';
  return id;
}

uint32_t ConfigStringStore::Replace(uint32_t id, const char* text, size_t length) {
  int cls = ClassOfId(id);
  if (cls < 2 && ClassOfLength(length) > cls) return Add(text, length);
  if (length > kMaxTextBytes) return kInvalidId;
  char* target = cls == 0 ? ShortText(id) : Slot(id);
  if (cls == 0 && length + 1 > static_cast<unsigned char>(target[-1])) {
    // A short text that outgrows its room is packed anew under the same id.
    uint32_t moved = AddShort(text, length);
    if (moved == kInvalidId) return kInvalidId;
    m_shortOffsets[id] = m_shortOffsets[moved];
    m_shortOffsets.pop_back();
    return id;
  }
  std::memmove(target, text, length);
  target[length] = '\0';
  return id;
}

void ConfigStringStore::Clear() {
  m_chunks.clear();
  m_chunkUsed = kChunkSize;
  m_shortOffsets.clear();
  for (SlotClass& c : m_classes) {
    c.blocks.clear();
    c.next = 0;
  }
}

}  // namespace ny::config
