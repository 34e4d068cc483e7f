// Backing images and the paint requests of self-drawn windows.
#include <QPainter>
#include <QtMath>
#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "platform/qt/window_record.h"

namespace kp::qt {

bool IsSelfDrawn(WindowKind kind) {
  return kind == WindowKind::Dialog || kind == WindowKind::Custom || kind == WindowKind::OwnerDrawButton;
}

void SyncBackingSize(WindowRecord* record) {
  QWidget* w = record->widget;
  if (w == nullptr || !IsSelfDrawn(record->kind)) return;
  // One pixel of the image for each pixel of the screen the window is on:
  // on a high-density screen the window draws at the screen's own pixels,
  // and nothing it drew is enlarged again.
  const qreal scale = std::max<qreal>(w->devicePixelRatioF(), 1);
  const QSize units = w->size().expandedTo(QSize(1, 1));
  const QSize size(qCeil(units.width() * scale), qCeil(units.height() * scale));
  if (record->backing.size() == size && record->backing.devicePixelRatio() == scale) return;
  QImage image(size, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  image.fill(w->palette().color(QPalette::Window));
  if (!record->backing.isNull() && record->backing.devicePixelRatio() == scale) {
    QPainter painter(&image);
    painter.drawImage(0, 0, record->backing);
  } else if (!record->backing.isNull()) {
    // Moved to a screen of another density: all of it is drawn again.
    record->invalid = QRegion(w->rect());
    record->eraseNeeded = true;
  }
  record->backing = std::move(image);
}

void InvalidateRect(HWND hWnd, const RECT* rect, bool erase) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return;
  QRect area =
      rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)) : record->widget->rect();
  area &= record->widget->rect();
  if (area.isEmpty()) return;
  record->invalid += area;
  if (erase) record->eraseNeeded = true;
  record->widget->update(area);
}

void UpdateWindow(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr || record->invalid.isEmpty() || !record->widget->isVisible()) return;
  record->widget->repaint(record->invalid.boundingRect());
}

HDC BeginPaint(HWND hWnd, RECT* paint) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return nullptr;
  SyncBackingSize(record);
  QRect area = record->invalid.isEmpty() ? record->widget->rect() : record->invalid.boundingRect();
  record->invalid = QRegion();
  if (paint) *paint = RECT{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
  return CreateBackingDC(record);
}

void EndPaint(HWND, HDC hdc) { DeleteBackingDC(hdc); }

HDC GetDC(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return nullptr;
  SyncBackingSize(record);
  return CreateBackingDC(record);
}

int ReleaseDC(HWND hWnd, HDC hdc) {
  DeleteBackingDC(hdc);
  // What was drawn outside WM_PAINT is in the backing image; present it.
  if (WindowRecord* record = FindRecord(hWnd)) record->widget->update();
  return 1;
}

HDC CreateBackingDC(WindowRecord* record) {
  if (record == nullptr || record->backing.isNull()) return nullptr;
  QImage& image = record->backing;
  kp::gdi::Surface surface;
  surface.width = image.width();
  surface.height = image.height();
  surface.pixels = reinterpret_cast<std::uint32_t*>(image.bits());
  surface.strideInPixels = image.bytesPerLine() / 4;
  surface.scale = image.devicePixelRatio();
  return kp::gdi::CreateSurfaceDC(surface);
}

void DeleteBackingDC(HDC hdc) {
  if (hdc) DeleteDC(hdc);
}

}  // namespace kp::qt
