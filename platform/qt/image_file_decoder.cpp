#include "platform/qt/image_file_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <climits>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/load_image.h"

namespace kp::qt {

namespace {

int DepthOf(QImage::Format format, bool hasAlpha) {
  switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8: return 8;
    default: return hasAlpha ? 32 : 24;
  }
}

}  // namespace

std::optional<kp::gdi::DecodedImage> DecodeImageFile(std::span<const BYTE> bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
  const QByteArray data =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  if (!buffer.open(QIODevice::ReadOnly)) return std::nullopt;
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  // Refuse oversized pictures before any pixel memory is taken.
  const QSize size = reader.size();
  if (size.isValid() && static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) >
                            kp::gdi::kMaxBitmapBytes / 4)
    return std::nullopt;
  reader.setAllocationLimit(static_cast<int>(kp::gdi::kMaxBitmapBytes >> 20));
  QImage image = reader.read();
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return std::nullopt;
  if (static_cast<std::uint64_t>(image.width()) * static_cast<std::uint64_t>(image.height()) >
      kp::gdi::kMaxBitmapBytes / 4)
    return std::nullopt;
  const bool hasAlpha = image.hasAlphaChannel();
  kp::gdi::DecodedImage out;
  out.width = image.width();
  out.height = image.height();
  out.bitsPerPixel = DepthOf(image.format(), hasAlpha);
  image = image.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return std::nullopt;
  out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  for (int y = 0; y < out.height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(out.height - 1 - y) * out.width;
    for (int x = 0; x < out.width; ++x) {
      const QRgb p = row[x];
      const unsigned a = static_cast<unsigned>(qAlpha(p));
      // Over white: c * a + 255 * (1 - a), rounded.
      const auto over = [a](int c) { return (static_cast<unsigned>(c) * a + 255u * (255u - a) + 127u) / 255u; };
      dst[x] = (over(qRed(p)) << 16) | (over(qGreen(p)) << 8) | over(qBlue(p));
    }
  }
  return out;
}

namespace {
// LoadImage reaches the decoder through gdi's hook, so that gdi, below this
// layer, never includes it.
const struct InstallDecoder {
  InstallDecoder() { kp::gdi::SetImageFileDecoder(&DecodeImageFile); }
} g_installDecoder;
}  // namespace

}  // namespace kp::qt
