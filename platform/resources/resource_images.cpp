#include "platform/resources/resource_images.h"

#include <map>
#include <utility>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/resources/resources.h"

namespace {
std::optional<UINT> IdOf(LPCTSTR name) {
  if (name == nullptr) return std::nullopt;
  if (IS_INTRESOURCE(name)) return RESOURCE_ID(name);
  // "#128" names resource 128, as Windows reads it.
  if (name[0] != '#' || name[1] == '\0') return std::nullopt;
  UINT id = 0;
  for (const char* p = name + 1; *p; ++p) {
    if (*p < '0' || *p > '9' || id > 0xFFFF) return std::nullopt;
    id = id * 10 + static_cast<UINT>(*p - '0');
  }
  return id <= 0xFFFF ? std::optional<UINT>(id) : std::nullopt;
}

// Serves LoadImage for resource names, which gdi hands to this layer.
HANDLE LoadImageFromResources(HINSTANCE instance, LPCTSTR name, UINT type, int, int, UINT) {
  if (type == IMAGE_BITMAP) return ::LoadBitmap(instance, name);
  if (type == IMAGE_ICON) return ::LoadIcon(instance, name);
  return nullptr;
}

const struct InstallLoader {
  InstallLoader() { kp::gdi::SetResourceImageLoader(&LoadImageFromResources); }
} g_installLoader;
}  // namespace

HBITMAP LoadBitmap(HINSTANCE hInstance, LPCTSTR lpBitmapName) {
  auto bytes = kp::resources::FindResourceBytes(hInstance, lpBitmapName, RT_BITMAP);
  if (!bytes) return nullptr;
  return kp::gdi::CreateBitmapFromPackedDib(*bytes);
}

HICON LoadIcon(HINSTANCE hInstance, LPCTSTR lpIconName) {
  std::optional<UINT> id = IdOf(lpIconName);
  if (!id) return nullptr;
  static std::map<std::pair<HINSTANCE, UINT>, HICON> shared;
  auto key = std::make_pair(hInstance, *id);
  if (auto it = shared.find(key); it != shared.end()) return it->second;
  const kp::resources::IconEntry* entry = kp::resources::FindIcon(hInstance, *id);
  if (entry == nullptr) return nullptr;
  std::vector<kp::gdi::IconImage> images;
  for (std::span<const BYTE> dib : entry->images)
    if (auto image = kp::gdi::DecodeIconImage(dib)) images.push_back(std::move(*image));
  if (images.empty()) return nullptr;
  HICON icon = kp::gdi::CreateSharedIconFromImages(images);
  if (icon != nullptr) shared.emplace(key, icon);
  return icon;
}
