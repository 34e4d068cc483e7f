#pragma once
// The window system's record of one window: the widget that shows it and the
// state Windows keeps per window (id, styles, backing image, pending update,
// timers, icons). Records live in one table keyed by HWND values that are
// never reused, so a stale handle finds nothing.

#include <QEventLoop>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "platform/qt/timer_clock.h"
#include "platform/qt/window_system.h"

namespace kp::qt {

struct WindowRecord {
  HWND handle = nullptr;
  WindowKind kind = WindowKind::Custom;
  HWND parent = nullptr;
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  QPointer<QWidget> widget;
  std::vector<HWND> children;
  std::string text;     // as last set, '&' included, for the kinds that show it transformed
  bool placed = false;  // top-level windows are centred when first shown

  // Self-drawn windows (dialogs, custom windows, owner-drawn buttons) keep
  // what they drew in a persistent image that painting only presents.
  QImage backing;
  QRegion invalid;
  bool eraseNeeded = true;
  QSize lastSizeSent{-1, -1};

  bool destroying = false;
  std::map<UINT_PTR, std::unique_ptr<TimerTicks>> timers;
  QEventLoop* modalLoop = nullptr;
  HICON icons[2] = {nullptr, nullptr};  // small, big
};

// The record of a live window, or null.
WindowRecord* FindRecord(HWND hWnd);
// The window a widget belongs to: the widget itself or its nearest ancestor
// that has a record (inner widgets of a combo box, for instance).
HWND HandleFromWidget(const QObject* object);
QWidget* WidgetFromHandle(HWND hWnd);
// True for the kinds that draw themselves through WM_PAINT / WM_DRAWITEM.
bool IsSelfDrawn(WindowKind kind);
// Makes sure the backing image matches the widget's size, keeping what it held.
void SyncBackingSize(WindowRecord* record);
// A DC over the record's backing image (null until the GDI can make one).
HDC CreateBackingDC(WindowRecord* record);
void DeleteBackingDC(HDC hdc);

// Installs the application-wide hooks (focus tracking, input modifiers) once.
void EnsureApplicationHooks();
// Brackets a popup menu's modal run: focus changes inside are the menu's,
// and the focus returns to its window afterwards without messages.
void BeginMenuTracking();
void EndMenuTracking();

}  // namespace kp::qt
