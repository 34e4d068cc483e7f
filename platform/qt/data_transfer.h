#pragma once
// Between the formats of the clipboard and drag and drop (clipboard.h) and
// what the desktop exchanges: mime types. Private to platform/qt.

#include <QImage>
#include <QMimeData>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/clipboard.h"

namespace kp::qt {

// What `data` is offered as: CF_DIB as "image/png" and "image/bmp",
// CF_HDROP as "text/uri-list". Data that is not what its format says is
// left out.
std::unique_ptr<QMimeData> MimeDataFor(const std::vector<TransferData>& data);

// The picture of a packed DIB; null when it is not one.
QImage PictureOf(const std::vector<BYTE>& packedDib);

// Whether `mime` offers something of the format: CF_DIB for any picture,
// CF_HDROP for local files.
bool Offers(const QMimeData* mime, UINT format);

// The first picture `mime` offers that decodes, as a 32-bit bottom-up
// packed DIB; empty when none does.
std::vector<BYTE> PackedDibFrom(const QMimeData* mime);

// The local files `mime` offers: those of "text/uri-list", else those of a
// file manager's "x-special/gnome-copied-files"; empty when there are none
// or some of the list is not a local file.
std::vector<std::string> LocalFilesFrom(const QMimeData* mime);

}  // namespace kp::qt
