#pragma once
// The GDI handle table. Every GDI object (bitmap, device context, pen, brush,
// palette, icon) lives in one process-wide table and is known to the rest of
// the system only by its handle: a non-zero 32-bit value
//
//   bits 28-31  type tag (the OBJ_ number: pen 1, brush 2, DC 3, palette 5,
//               bitmap 7; icon 9)
//   bits 16-27  generation of the slot, 1..4095, bumped each time the slot
//               is freed (wrapping from 4095 back to 1)
//   bits 0-15   slot index
//
// so a handle survives a trip through a 32-bit automation argument, and a
// stale handle (its object deleted), a forged one (any other integer) or one
// of the wrong type is refused by every call instead of reaching another
// object. Freed slots are reused first in, first out, and only once a number
// of them are free, so a stale handle is not soon matched by a new object.
//
// One user-interface thread uses the table, as on the platform it stands in
// for; it holds no lock. The table is defined out of line in libksystem.so
// so that every module of the process shares it.

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace kp::gdi {

enum class ObjectKind : std::uint8_t {
  Pen = 1,
  Brush = 2,
  Dc = 3,
  Palette = 5,
  Bitmap = 7,
  Icon = 9,
};

// Base of every object in the table. The concrete objects are private to
// platform/gdi (gdi_objects.h).
class GdiObject {
 public:
  explicit GdiObject(ObjectKind kind) : m_kind(kind) {}
  virtual ~GdiObject();
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ObjectKind kind() const { return m_kind; }

 private:
  ObjectKind m_kind;
};

class HandleTable {
 public:
  static constexpr std::uint32_t kMaxSlots = 0x10000;
  static constexpr std::uint32_t kMaxGeneration = 0xFFF;

  // `capacity` slots at most (up to kMaxSlots); a freed slot is reused only
  // when more than `reuseDelay` slots are free or the table is full.
  explicit HandleTable(std::uint32_t capacity = kMaxSlots, std::uint32_t reuseDelay = 1024);
  ~HandleTable();
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  // Takes the object and returns its handle value; 0 when the table is full.
  // Stock objects are never removed and not counted as live.
  std::uint32_t Add(std::unique_ptr<GdiObject> object, bool stock = false);
  // The object of a valid handle value; null for 0, stale or forged values.
  GdiObject* Find(std::uint32_t handle) const;
  bool IsStock(std::uint32_t handle) const;
  // Removes the object and returns it; null for invalid and stock handles.
  std::unique_ptr<GdiObject> Remove(std::uint32_t handle);

  // Objects alive, stock objects excluded.
  int LiveCount() const;
  int LiveCount(ObjectKind kind) const;

  // Calls f(handleValue, object) for every object of `kind`; f must not add
  // or remove objects.
  template <typename F>
  void ForEach(ObjectKind kind, F&& f) const {
    for (std::uint32_t i = 0; i < m_slots.size(); ++i) {
      const Slot& s = m_slots[i];
      if (s.object && s.object->kind() == kind) f(Encode(kind, s.generation, i), *s.object);
    }
  }

 private:
  struct Slot {
    std::unique_ptr<GdiObject> object;
    std::uint16_t generation = 1;
    bool stock = false;
  };
  static std::uint32_t Encode(ObjectKind kind, std::uint32_t generation, std::uint32_t index) {
    return (static_cast<std::uint32_t>(kind) << 28) | (generation << 16) | index;
  }
  const Slot* SlotOf(std::uint32_t handle) const;

  std::vector<Slot> m_slots;
  std::deque<std::uint32_t> m_free;
  std::uint32_t m_capacity;
  std::uint32_t m_reuseDelay;
  int m_live[16] = {};
};

// The process's table.
HandleTable& Table();

// Live GDI objects of the process (stock objects excluded), for leak tests.
int LiveObjectCount();
int LiveObjectCount(ObjectKind kind);

}  // namespace kp::gdi
