#include "platform/gdi/icon.h"

#include <cstdlib>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/stretch_core.h"

using namespace kp::gdi;
using namespace kp::gdi::detail;

namespace kp::gdi {

namespace {
std::unique_ptr<IconObject> MakeIcon(std::span<const IconImage> images) {
  if (images.empty()) return nullptr;
  for (const IconImage& image : images) {
    if (image.width <= 0 || image.height <= 0 ||
        static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(image.height) != image.argb.size())
      return nullptr;
  }
  auto icon = std::make_unique<IconObject>();
  icon->images.assign(images.begin(), images.end());
  return icon;
}
}  // namespace

HICON CreateIconFromImages(std::span<const IconImage> images) {
  auto icon = MakeIcon(images);
  return icon ? Register<HICON>(std::move(icon)) : nullptr;
}

HICON CreateSharedIconFromImages(std::span<const IconImage> images) {
  auto icon = MakeIcon(images);
  return icon ? HandleOf<HICON>(Table().Add(std::move(icon), /*stock=*/true)) : nullptr;
}

std::vector<IconImage> GetIconImages(HICON icon) {
  IconObject* object = Lookup<IconObject>(icon);
  return object ? object->images : std::vector<IconImage>{};
}

}  // namespace kp::gdi

namespace {

constexpr int kDefaultIconSize = 32;

// The image nearest in size to cx x cy, preferring larger ones on ties, so
// that shrinking is chosen over enlarging.
const IconImage& BestImage(const IconObject& icon, int cx, int cy) {
  const IconImage* best = &icon.images.front();
  long long bestScore = -1;
  for (const IconImage& image : icon.images) {
    const long long score = std::llabs(0LL + image.width - cx) + std::llabs(0LL + image.height - cy);
    if (bestScore < 0 || score < bestScore ||
        (score == bestScore && 1LL * image.width * image.height > 1LL * best->width * best->height)) {
      best = &image;
      bestScore = score;
    }
  }
  return *best;
}

// Straight-alpha "over": out = src * a + dst * (1 - a), rounded.
std::uint32_t Blend(std::uint32_t dst, std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  if (a == 255) return argb & 0x00FFFFFF;
  if (a == 0) return dst & 0x00FFFFFF;
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t s = (argb >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

BOOL DestroyIcon(HICON icon) {
  if (!Lookup<IconObject>(icon)) return FALSE;
  return Table().Remove(ValueOf(icon)) ? TRUE : FALSE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
  return DrawIconEx(hdc, x, y, icon, kDefaultIconSize, kDefaultIconSize, 0, nullptr, DI_NORMAL);
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT flags) {
  DcObject* dc = Lookup<DcObject>(hdc);
  IconObject* object = Lookup<IconObject>(icon);
  if (!dc || !object || cx < 0 || cy < 0) return FALSE;
  const bool defaultSize = (flags & DI_DEFAULTSIZE) != 0;
  const IconImage& image = BestImage(*object, cx ? cx : kDefaultIconSize, cy ? cy : kDefaultIconSize);
  const int w = cx ? cx : (defaultSize ? kDefaultIconSize : image.width);
  const int h = cy ? cy : (defaultSize ? kDefaultIconSize : image.height);
  const PixelTarget t = TargetOf(*dc);
  if (!t.writable) return TRUE;
  // The icon is sampled at the target's pixels, which a surface of a
  // high-density screen has more of than units.
  const long long dx = t.Device(x), dy = t.Device(y);
  const long long dw = t.Device(0LL + x + w) - dx, dh = t.Device(0LL + y + h) - dy;
  if (dw <= 0 || dh <= 0) return TRUE;
  ForEachStretchedPixel(image.width, image.height, 0, 0, image.width, image.height, t.width, t.height, dx, dy, dw, dh,
                        [&](int tx, int ty, int sx, int sy) {
                          const std::uint32_t argb = image.argb[static_cast<std::size_t>(sy) * image.width + sx];
                          std::uint32_t& pixel = t.Row(ty)[tx];
                          pixel = (Blend(pixel & 0x00FFFFFF, argb) & 0x00FFFFFF) | t.alpha;
                        });
  return TRUE;
}
