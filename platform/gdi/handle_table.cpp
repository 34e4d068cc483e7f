#include "platform/gdi/handle_table.h"

#include <algorithm>

namespace kp::gdi {

GdiObject::~GdiObject() = default;

HandleTable::HandleTable(std::uint32_t capacity, std::uint32_t reuseDelay)
    : m_capacity(std::clamp<std::uint32_t>(capacity, 1, kMaxSlots)), m_reuseDelay(reuseDelay) {}

HandleTable::~HandleTable() = default;

std::uint32_t HandleTable::Add(std::unique_ptr<GdiObject> object, bool stock) {
  if (!object) return 0;
  std::uint32_t index;
  if (!m_free.empty() && (m_free.size() > m_reuseDelay || m_slots.size() >= m_capacity)) {
    index = m_free.front();
    m_free.pop_front();
  } else if (m_slots.size() < m_capacity) {
    index = static_cast<std::uint32_t>(m_slots.size());
    m_slots.emplace_back();
  } else {
    return 0;
  }
  Slot& slot = m_slots[index];
  const ObjectKind kind = object->kind();
  slot.object = std::move(object);
  slot.stock = stock;
  if (!stock) ++m_live[static_cast<int>(kind)];
  return Encode(kind, slot.generation, index);
}

const HandleTable::Slot* HandleTable::SlotOf(std::uint32_t handle) const {
  const std::uint32_t index = handle & 0xFFFF;
  const std::uint32_t generation = (handle >> 16) & kMaxGeneration;
  const std::uint32_t tag = handle >> 28;
  if (index >= m_slots.size()) return nullptr;
  const Slot& slot = m_slots[index];
  if (!slot.object || slot.generation != generation || static_cast<std::uint32_t>(slot.object->kind()) != tag)
    return nullptr;
  return &slot;
}

GdiObject* HandleTable::Find(std::uint32_t handle) const {
  const Slot* slot = SlotOf(handle);
  return slot ? slot->object.get() : nullptr;
}

bool HandleTable::IsStock(std::uint32_t handle) const {
  const Slot* slot = SlotOf(handle);
  return slot && slot->stock;
}

std::unique_ptr<GdiObject> HandleTable::Remove(std::uint32_t handle) {
  const Slot* found = SlotOf(handle);
  if (!found || found->stock) return nullptr;
  const std::uint32_t index = handle & 0xFFFF;
  Slot& slot = m_slots[index];
  std::unique_ptr<GdiObject> object = std::move(slot.object);
  --m_live[static_cast<int>(object->kind())];
  // Generation 0 is never handed out, so a value whose middle bits are zero
  // is never valid.
  slot.generation = slot.generation >= kMaxGeneration ? 1 : static_cast<std::uint16_t>(slot.generation + 1);
  m_free.push_back(index);
  return object;
}

int HandleTable::LiveCount() const {
  int total = 0;
  for (int n : m_live) total += n;
  return total;
}

int HandleTable::LiveCount(ObjectKind kind) const { return m_live[static_cast<int>(kind)]; }

HandleTable& Table() {
  // Never destroyed: objects held by static wrappers in any module may be
  // deleted during exit, after a destroyed table could no longer answer.
  static HandleTable* table = new HandleTable();
  return *table;
}

int LiveObjectCount() { return Table().LiveCount(); }
int LiveObjectCount(ObjectKind kind) { return Table().LiveCount(kind); }

}  // namespace kp::gdi
