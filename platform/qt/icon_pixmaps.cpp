#include "platform/qt/icon_pixmaps.h"

#include <QImage>
#include <cstdlib>

#include "platform/gdi/icon.h"

namespace kp::qt {
namespace {
QPixmap ToPixmap(const kp::gdi::IconImage& image) {
  // The icon's pixels are top-down straight-alpha ARGB, which is QImage's
  // Format_ARGB32; copy, since the vector does not outlive this call.
  QImage picture(reinterpret_cast<const uchar*>(image.argb.data()), image.width, image.height, image.width * 4,
                 QImage::Format_ARGB32);
  return QPixmap::fromImage(picture.copy());
}
}  // namespace

QIcon IconFor(HICON icon) {
  QIcon result;
  for (const kp::gdi::IconImage& image : kp::gdi::GetIconImages(icon)) result.addPixmap(ToPixmap(image));
  return result;
}

QPixmap PixmapFor(HICON icon, int size) {
  std::vector<kp::gdi::IconImage> images = kp::gdi::GetIconImages(icon);
  const kp::gdi::IconImage* best = nullptr;
  for (const kp::gdi::IconImage& image : images)
    if (best == nullptr || std::abs(image.width - size) < std::abs(best->width - size)) best = &image;
  if (best == nullptr) return QPixmap();
  QPixmap pixmap = ToPixmap(*best);
  if (best->width != size) pixmap = pixmap.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  return pixmap;
}
}  // namespace kp::qt
