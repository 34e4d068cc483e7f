#include "platform/testing/clipboard_driver.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

namespace kp::testing {

std::vector<std::string> ClipboardTypes() {
  std::vector<std::string> types;
  if (const QMimeData* mime = QGuiApplication::clipboard()->mimeData())
    for (const QString& type : mime->formats()) types.push_back(type.toStdString());
  return types;
}

std::vector<BYTE> ClipboardBytes(const std::string& type) {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (mime == nullptr) return {};
  const QByteArray bytes = mime->data(QString::fromStdString(type));
  return std::vector<BYTE>(bytes.begin(), bytes.end());
}

void OfferOnClipboard(const std::vector<std::pair<std::string, std::vector<BYTE>>>& data) {
  auto* mime = new QMimeData;
  for (const auto& [type, bytes] : data)
    mime->setData(QString::fromStdString(type),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(mime);
}

void ClearClipboard() { QGuiApplication::clipboard()->clear(); }

std::vector<BYTE> PngFile(int width, int height, const PictureColour& colour) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000u | colour(x, y));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return std::vector<BYTE>(bytes.begin(), bytes.end());
}

std::string FileUri(const std::string& path) {
  return QUrl::fromLocalFile(QString::fromStdString(path)).toEncoded().toStdString();
}

}  // namespace kp::testing
