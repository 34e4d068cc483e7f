#pragma once
// ComPtr: owns one reference to a COM interface and releases it when it
// goes, so a reference taken on any path is given back on every path.

#include <utility>

#include "platform/com/unknown.h"

namespace kp::com {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(T* p) : m_p(p) {}
  ComPtr(const ComPtr& other) : m_p(other.m_p) {
    if (m_p) m_p->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  ~ComPtr() { Reset(); }
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_p, other.m_p);
    return *this;
  }

  // Shares `p`: takes a reference of its own.
  static ComPtr Share(T* p) {
    if (p) p->AddRef();
    return ComPtr(p);
  }

  T* get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  // For out parameters (T**); drops what was held.
  T** put() {
    Reset();
    return &m_p;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  // Gives the reference to the caller.
  T* Detach() { return std::exchange(m_p, nullptr); }
  void Reset() {
    if (T* p = std::exchange(m_p, nullptr)) p->Release();
  }

  template <typename U>
  HRESULT As(REFIID iid, ComPtr<U>& out) const {
    if (!m_p) return E_POINTER;
    return m_p->QueryInterface(iid, out.put_void());
  }

 private:
  T* m_p = nullptr;
};

}  // namespace kp::com
