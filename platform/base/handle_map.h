#pragma once
// Records behind handle values that are never reused, so that a released or
// forged handle is simply not found. Each kind of handle starts its values
// elsewhere, which keeps one kind from being taken for another. One
// user-interface thread uses the tables (see DESIGN), so they take no lock.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace kp::base {

template <typename Handle, typename Record>
class HandleMap {
 public:
  explicit HandleMap(std::uintptr_t first) : m_next(first) {}

  Handle Add(Record record) {
    const std::uintptr_t value = m_next;
    m_next += 0x10;
    m_records.emplace(value, std::move(record));
    return reinterpret_cast<Handle>(value);
  }

  // Null for a handle that names no record.
  Record* Find(Handle handle) {
    auto it = m_records.find(ValueOf(handle));
    return it == m_records.end() ? nullptr : &it->second;
  }

  // False for a handle that names no record.
  bool Remove(Handle handle) { return m_records.erase(ValueOf(handle)) == 1; }

  std::size_t Size() const { return m_records.size(); }

 private:
  static std::uintptr_t ValueOf(Handle handle) { return reinterpret_cast<std::uintptr_t>(handle); }

  std::unordered_map<std::uintptr_t, Record> m_records;
  std::uintptr_t m_next;
};

}  // namespace kp::base
