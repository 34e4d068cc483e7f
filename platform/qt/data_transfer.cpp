#include "platform/qt/data_transfer.h"

#include <QBuffer>
#include <QImage>
#include <QUrl>
#include <cstring>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/get_dibits.h"
#include "platform/gdi/load_image.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/scoped_gdi.h"
#include "platform/qt/drop_files.h"

namespace kp::qt {
namespace {

constexpr char kPng[] = "image/png";
constexpr char kBmp[] = "image/bmp";
constexpr char kUriList[] = "text/uri-list";
constexpr char kCopiedFiles[] = "x-special/gnome-copied-files";

// Bitmaps are stored at 72 dots per inch.
constexpr LONG kPixelsPerMetre = 2835;

QImage ImageOf(const kp::gdi::DecodedImage& decoded) {
  QImage image(decoded.width, decoded.height, QImage::Format_RGB32);
  for (int y = 0; y < decoded.height; ++y) {
    // The decoded rows go bottom up.
    const std::uint32_t* row = decoded.pixels.data() + static_cast<std::size_t>(decoded.height - 1 - y) * decoded.width;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < decoded.width; ++x) line[x] = 0xFF000000u | row[x];
  }
  return image;
}

QByteArray PngOf(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  return image.save(&buffer, "PNG") ? bytes : QByteArray();
}

// A bitmap file: the 14-byte file header, then the packed DIB.
QByteArray BmpFileOf(const std::vector<BYTE>& dib) {
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data(), sizeof header);
  // The pixels follow the header, the masks of a bit-fields DIB and its
  // colour table.
  DWORD colours = header.biClrUsed != 0 ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
  const DWORD masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof header ? 12 : 0;
  const DWORD offset = sizeof(BITMAPFILEHEADER) + header.biSize + masks + 4 * colours;
  const BITMAPFILEHEADER fileHeader{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + dib.size()), 0, 0, offset};
  QByteArray file(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
  file.append(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size()));
  return file;
}

// A bitmap as a 32-bit bottom-up packed DIB.
std::vector<BYTE> PackedDibOf(HBITMAP bitmap) {
  BITMAP description{};
  if (::GetObject(bitmap, sizeof description, &description) != static_cast<int>(sizeof description)) return {};
  kp::gdi::ScopedMemoryDC memory(nullptr);
  if (!memory) return {};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                    description.bmWidth,
                    description.bmHeight,
                    1,
                    32,
                    BI_RGB,
                    static_cast<DWORD>(description.bmWidth) * static_cast<DWORD>(description.bmHeight) * 4,
                    kPixelsPerMetre,
                    kPixelsPerMetre,
                    0,
                    0};
  std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + info.bmiHeader.biSizeImage);
  std::memcpy(dib.data(), &info.bmiHeader, sizeof info.bmiHeader);
  const UINT lines = static_cast<UINT>(description.bmHeight);
  if (::GetDIBits(memory.get(), bitmap, 0, lines, dib.data() + sizeof(BITMAPINFOHEADER), &info, DIB_RGB_COLORS) !=
      static_cast<int>(lines))
    return {};
  return dib;
}

// The picture types of `mime`, the common lossless ones first.
QStringList PictureTypes(const QMimeData* mime) {
  QStringList types;
  for (const char* preferred : {kPng, kBmp, "image/x-bmp", "image/x-ms-bmp"})
    if (mime->hasFormat(preferred)) types << preferred;
  for (const QString& type : mime->formats())
    if (type.startsWith("image/") && !types.contains(type)) types << type;
  return types;
}

}  // namespace

QImage PictureOf(const std::vector<BYTE>& packedDib) {
  const std::optional<kp::gdi::DecodedImage> decoded = kp::gdi::DecodePackedDib(packedDib);
  return decoded ? ImageOf(*decoded) : QImage();
}

std::unique_ptr<QMimeData> MimeDataFor(const std::vector<TransferData>& data) {
  auto mime = std::make_unique<QMimeData>();
  for (const TransferData& item : data) {
    if (item.format == CF_DIB) {
      const std::optional<kp::gdi::DecodedImage> decoded = kp::gdi::DecodePackedDib(item.bytes);
      if (!decoded) continue;
      const QByteArray png = PngOf(ImageOf(*decoded));
      if (!png.isEmpty()) mime->setData(kPng, png);
      mime->setData(kBmp, BmpFileOf(item.bytes));
    } else if (item.format == CF_HDROP) {
      const std::optional<std::vector<std::string>> files = ParseDropFiles(item.bytes);
      if (!files) continue;
      QList<QUrl> urls;
      for (const std::string& file : *files) urls << QUrl::fromLocalFile(QString::fromStdString(file));
      mime->setUrls(urls);
    }
  }
  return mime;
}

bool Offers(const QMimeData* mime, UINT format) {
  if (mime == nullptr) return false;
  if (format == CF_DIB) return mime->hasImage() || !PictureTypes(mime).isEmpty();
  if (format == CF_HDROP) return !LocalFilesFrom(mime).empty();
  return false;
}

std::vector<BYTE> PackedDibFrom(const QMimeData* mime) {
  if (mime == nullptr) return {};
  // The bytes go through the decoders that read picture files, so a picture
  // pasted and the same picture dropped as a file give the same pixels.
  for (const QString& type : PictureTypes(mime)) {
    const QByteArray bytes = mime->data(type);
    kp::gdi::ScopedBitmap bitmap(kp::gdi::LoadBitmapFromBytes(std::span<const BYTE>(
        reinterpret_cast<const BYTE*>(bytes.constData()), static_cast<std::size_t>(bytes.size()))));
    if (bitmap) {
      std::vector<BYTE> dib = PackedDibOf(bitmap.get());
      if (!dib.empty()) return dib;
    }
  }
  // A picture of this program's own Qt, offered only as an image object.
  if (!mime->hasImage()) return {};
  const QImage image = qvariant_cast<QImage>(mime->imageData()).convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return {};
  std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(image.width()) * image.height() * 4);
  const BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER),
                                image.width(),
                                image.height(),
                                1,
                                32,
                                BI_RGB,
                                0,
                                kPixelsPerMetre,
                                kPixelsPerMetre,
                                0,
                                0};
  std::memcpy(dib.data(), &header, sizeof header);
  BYTE* pixels = dib.data() + sizeof header;
  const std::size_t row = static_cast<std::size_t>(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y) {
    std::memcpy(pixels + static_cast<std::size_t>(image.height() - 1 - y) * row, image.constScanLine(y), row);
    for (std::size_t x = 3; x < row; x += 4) pixels[static_cast<std::size_t>(image.height() - 1 - y) * row + x] = 0;
  }
  return dib;
}

std::vector<std::string> LocalFilesFrom(const QMimeData* mime) {
  if (mime == nullptr) return {};
  for (const char* type : {kUriList, kCopiedFiles}) {
    if (!mime->hasFormat(type)) continue;
    const QByteArray text = mime->data(type);
    return LocalFilesFromUriList(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
  }
  return {};
}

}  // namespace kp::qt
