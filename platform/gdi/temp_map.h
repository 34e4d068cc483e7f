#pragma once
// The temporary wrappers behind CGdiObject::FromHandle and CDC::FromHandle:
// one wrapper per live handle and class, owning nothing. Wrappers of
// handles that have since died are dropped as the map grows. Private to
// platform/gdi.

#include <cstdint>
#include <iterator>
#include <memory>
#include <unordered_map>

#include "platform/gdi/gdi_objects.h"

namespace kp::gdi::detail {

template <typename T>
std::unordered_map<std::uint32_t, std::unique_ptr<T>>& TempWrappers() {
  static auto* map = new std::unordered_map<std::uint32_t, std::unique_ptr<T>>();
  return *map;
}

// The handle a wrapper holds, whatever the class calls it.
template <typename T>
auto& HandleField(T& wrapper) {
  if constexpr (requires { wrapper.m_hDC; })
    return wrapper.m_hDC;
  else
    return wrapper.m_hObject;
}

template <typename T>
void ClearTempWrappers() {
  auto& map = TempWrappers<T>();
  for (auto& [value, wrapper] : map) HandleField(*wrapper) = nullptr;
  map.clear();
}

template <typename T, typename H>
T* TempWrapper(H h) {
  const std::uint32_t value = ValueOf(h);
  if (!value || !Table().Find(value)) return nullptr;
  auto& map = TempWrappers<T>();
  if (map.size() >= 64) {
    for (auto it = map.begin(); it != map.end();) {
      if (!Table().Find(it->first)) {
        HandleField(*it->second) = nullptr;
        it = map.erase(it);
      } else {
        ++it;
      }
    }
  }
  std::unique_ptr<T>& wrapper = map[value];
  if (!wrapper) {
    wrapper = std::make_unique<T>();
    HandleField(*wrapper) = HandleOf<std::remove_reference_t<decltype(HandleField(*wrapper))>>(value);
  }
  return wrapper.get();
}

}  // namespace kp::gdi::detail
