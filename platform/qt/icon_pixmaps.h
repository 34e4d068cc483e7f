#pragma once
// GDI icons as Qt pictures, for window icons and icon statics.

#include <QIcon>
#include <QPixmap>

#include "platform/base/handles.h"

namespace kp::qt {
// Every image of the icon; an empty QIcon for an invalid handle.
QIcon IconFor(HICON icon);
// The image of the icon closest to `size`, scaled to it when none matches.
QPixmap PixmapFor(HICON icon, int size);
}  // namespace kp::qt
