#include "config/NyConfigStringStore.h"

#include <cstring>

namespace ny::config {

ConfigStringStore::ConfigStringStore()
    : m_classes{{70, 900, 0x00000000u, 0x10000000u, 0, {}},
                {210, 300, 0x10000000u, 0x20000000u, 0, {}},
                {1034, 60, 0x20000000u, kInvalidId, 0, {}}} {}

int ConfigStringStore::ClassOfLength(size_t length) {
  if (length < 60) return 0;
  return length < 200 ? 1 : 2;
}

int ConfigStringStore::ClassOfId(uint32_t id) const {
  if (id < m_classes[1].firstId) return 0;
  return id < m_classes[2].firstId ? 1 : 2;
}

char* ConfigStringStore::Slot(uint32_t id) const {
  const SlotClass& c = m_classes[ClassOfId(id)];
  size_t slot = id - c.firstId;
  return c.blocks[slot / c.slotsPerBlock].get() + (slot % c.slotsPerBlock) * c.slotSize;
}

const char* ConfigStringStore::Text(uint32_t id) const {
  return Slot(id);
}

uint32_t ConfigStringStore::Add(const char* text, size_t length) {
  if (length > kMaxTextBytes) return kInvalidId;
  SlotClass& c = m_classes[ClassOfLength(length)];
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
  char* target = Slot(id);
  std::memmove(target, text, length);
  target[length] = '\0';
  return id;
}

void ConfigStringStore::Clear() {
  for (SlotClass& c : m_classes) {
    c.blocks.clear();
    c.next = 0;
  }
}

}  // namespace ny::config
