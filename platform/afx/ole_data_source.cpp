#include "platform/afx/ole_data_source.h"

#include "platform/base/global_memory.h"
#include "platform/qt/window_system.h"

COleDataSource::~COleDataSource() { Empty(); }

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal) {
  for (Cached& cached : m_cache) {
    if (cached.format != cfFormat) continue;
    GlobalFree(cached.block);
    cached.block = hGlobal;
    return;
  }
  m_cache.push_back({cfFormat, hGlobal});
}

void COleDataSource::Empty() {
  for (const Cached& cached : m_cache) GlobalFree(cached.block);
  m_cache.clear();
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT) {
  std::vector<kp::qt::TransferData> data;
  for (const Cached& cached : m_cache) {
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(cached.block));
    if (bytes == nullptr) continue;
    data.push_back({cached.format, std::vector<BYTE>(bytes, bytes + GlobalSize(cached.block))});
    GlobalUnlock(cached.block);
  }
  if (data.empty()) return DROPEFFECT_NONE;
  return kp::qt::DoDragDrop(kp::qt::GetFocus(), data, dwEffects);
}
