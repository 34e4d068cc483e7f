#include "platform/qt/drag_source.h"

#include <QApplication>
#include <QDrag>
#include <QImage>
#include <QPixmap>

#include "platform/qt/data_transfer.h"
#include "platform/qt/window_record.h"

namespace kp::qt {
namespace {

// The largest side of the picture shown under the pointer, in pixels.
constexpr int kDragPictureSide = 64;

QPixmap DragPicture(const std::vector<TransferData>& data) {
  for (const TransferData& item : data) {
    if (item.format != CF_DIB) continue;
    const QImage picture = PictureOf(item.bytes);
    if (picture.isNull()) break;
    return QPixmap::fromImage(
        picture.scaled(kDragPictureSide, kDragPictureSide, Qt::KeepAspectRatio, Qt::FastTransformation));
  }
  return QPixmap();
}

Qt::DropActions ActionsOf(DROPEFFECT effects) {
  Qt::DropActions actions;
  if (effects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
  if (effects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
  if (effects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
  return actions;
}

DROPEFFECT EffectOf(Qt::DropAction action) {
  switch (action) {
    case Qt::CopyAction: return DROPEFFECT_COPY;
    case Qt::MoveAction: return DROPEFFECT_MOVE;
    case Qt::LinkAction: return DROPEFFECT_LINK;
    default: return DROPEFFECT_NONE;
  }
}

}  // namespace

DROPEFFECT DoDragDrop(HWND source, const std::vector<TransferData>& data, DROPEFFECT allowed) {
  QWidget* widget = WidgetFromHandle(source);
  if (widget == nullptr) widget = QApplication::activeWindow();
  const Qt::DropActions actions = ActionsOf(allowed);
  if (widget == nullptr || actions == Qt::IgnoreAction) return DROPEFFECT_NONE;
  auto* drag = new QDrag(widget);
  drag->setMimeData(MimeDataFor(data).release());
  const QPixmap picture = DragPicture(data);
  if (!picture.isNull()) {
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(picture.width() / 2, picture.height() / 2));
  }
  // A copy when the target lets the user choose; the drag deletes itself.
  return EffectOf(drag->exec(actions, (actions & Qt::CopyAction) ? Qt::CopyAction : Qt::IgnoreAction));
}

}  // namespace kp::qt
