// The window table and the operations on windows by handle.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <unordered_map>

#include "platform/qt/dialog_font.h"
#include "platform/qt/icon_pixmaps.h"
#include "platform/qt/timer_clock.h"
#include "platform/qt/window_record.h"
#include "platform/qt/window_widgets.h"

namespace kp::qt {
namespace {

struct WindowTable {
  std::unordered_map<HWND, std::unique_ptr<WindowRecord>> records;
  std::uintptr_t nextValue = 0x10000;
};

WindowTable& Table() {
  static WindowTable table;
  return table;
}

WindowProcedure& InstalledWindowProcedure() {
  static WindowProcedure procedure = nullptr;
  return procedure;
}

// Statics show their text as Windows does: "&&" is one ampersand, a single
// '&' marks a mnemonic and is not shown, unless SS_NOPREFIX says otherwise.
QString StaticText(const std::string& text, DWORD style) {
  QString source = QString::fromStdString(text);
  if (style & SS_NOPREFIX) return source;
  QString shown;
  for (qsizetype i = 0; i < source.size(); ++i) {
    if (source[i] == u'&') {
      if (i + 1 < source.size() && source[i + 1] == u'&') shown += u'&', ++i;
      continue;
    }
    shown += source[i];
  }
  return shown;
}

Qt::FocusPolicy TabStopPolicy(DWORD style) { return (style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus; }

void NotifyParent(HWND child, UINT code) {
  WindowRecord* record = FindRecord(child);
  if (record == nullptr || record->parent == nullptr) return;
  DeliverMessage(record->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(record->id), static_cast<WORD>(code)),
                 reinterpret_cast<LPARAM>(child));
}

Qt::WindowFlags DialogFlags(const WindowDesc& d) {
  Qt::WindowFlags flags = (d.exStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (d.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (d.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  return flags;
}

using WidgetFactory = QWidget* (*)(HWND, const WindowDesc&, QWidget* parent);

QWidget* MakeSurface(HWND h, const WindowDesc& d, QWidget* parent) {
  if (d.kind == WindowKind::Dialog) {
    // A dialog is owned, not contained: a top-level window over its owner,
    // or free-standing (and in the task bar) with WS_EX_APPWINDOW.
    QWidget* owner = (d.exStyle & WS_EX_APPWINDOW) ? nullptr : parent;
    auto* w = new SurfaceWidget(h, owner);
    w->setWindowFlags(DialogFlags(d));
    w->setWindowTitle(QString::fromStdString(d.text));
    w->setFont(DialogFont(d.fontName, d.pointSize));
    w->setFixedSize(d.rect.right - d.rect.left, d.rect.bottom - d.rect.top);
    auto* windowMenuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), w);
    windowMenuKey->setContext(Qt::WindowShortcut);
    QObject::connect(windowMenuKey, &QShortcut::activated, w,
                     [h] { DeliverMessage(h, WM_SYSCOMMAND, SC_KEYMENU, ' '); });
    return w;
  }
  auto* w = new SurfaceWidget(h, parent);
  w->setFocusPolicy(TabStopPolicy(d.style));
  if (parent == nullptr) w->setWindowTitle(QString::fromStdString(d.text));
  return w;
}

QWidget* MakePushButton(HWND h, const WindowDesc& d, QWidget* parent) {
  auto* w = new QPushButton(QString::fromStdString(d.text), parent);
  // Enter is the dialog's to route, so no button claims it for itself.
  w->setAutoDefault(false);
  w->setDefault((d.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
  w->setFocusPolicy(TabStopPolicy(d.style));
  QObject::connect(w, &QPushButton::clicked, w, [h] { NotifyParent(h, BN_CLICKED); });
  return w;
}

QWidget* MakeCheckBox(HWND h, const WindowDesc& d, QWidget* parent) {
  auto* w = new QCheckBox(QString::fromStdString(d.text), parent);
  w->setFocusPolicy(TabStopPolicy(d.style));
  QObject::connect(w, &QCheckBox::clicked, w, [h] { NotifyParent(h, BN_CLICKED); });
  return w;
}

QWidget* MakeGroupBox(HWND, const WindowDesc& d, QWidget* parent) {
  auto* w = new QGroupBox(QString::fromStdString(d.text), parent);
  w->setFocusPolicy(Qt::NoFocus);
  return w;
}

QWidget* MakeOwnerDraw(HWND h, const WindowDesc& d, QWidget* parent) {
  auto* w = new OwnerDrawButton(h, parent);
  w->setFocusPolicy(TabStopPolicy(d.style));
  QObject::connect(w, &QAbstractButton::clicked, w, [h] { NotifyParent(h, BN_CLICKED); });
  return w;
}

QWidget* MakeEdit(HWND h, const WindowDesc& d, QWidget* parent) {
  auto* w = new QLineEdit(QString::fromStdString(d.text), parent);
  w->setReadOnly(d.style & ES_READONLY);
  w->setFrame((d.style & WS_BORDER) || (d.exStyle & WS_EX_CLIENTEDGE));
  w->setFocusPolicy(TabStopPolicy(d.style));
  QObject::connect(w, &QLineEdit::textChanged, w, [h] { NotifyParent(h, EN_CHANGE); });
  return w;
}

QWidget* MakeStatic(HWND, const WindowDesc& d, QWidget* parent) {
  auto* w = new QLabel(StaticText(d.text, d.style), parent);
  w->setTextFormat(Qt::PlainText);
  w->setWordWrap(true);
  w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  w->setFocusPolicy(Qt::NoFocus);
  return w;
}

QWidget* MakeStaticIcon(HWND, const WindowDesc&, QWidget* parent) {
  auto* w = new QLabel(parent);
  w->setFocusPolicy(Qt::NoFocus);
  return w;
}

QWidget* MakeComboBox(HWND h, const WindowDesc& d, QWidget* parent) {
  auto* w = new QComboBox(parent);
  w->setEditable((d.style & 0x3) == CBS_DROPDOWN);
  w->setFocusPolicy(TabStopPolicy(d.style));
  // The user's choice only, as CBN_SELCHANGE is: setting the selection by
  // message does not notify.
  QObject::connect(w, &QComboBox::activated, w, [h] { NotifyParent(h, CBN_SELCHANGE); });
  return w;
}

const std::unordered_map<WindowKind, WidgetFactory>& Factories() {
  // clang-format off
  static const std::unordered_map<WindowKind, WidgetFactory> factories = {
      {WindowKind::Dialog, MakeSurface},         {WindowKind::Custom, MakeSurface},
      {WindowKind::PushButton, MakePushButton},  {WindowKind::CheckBox, MakeCheckBox},
      {WindowKind::GroupBox, MakeGroupBox},      {WindowKind::OwnerDrawButton, MakeOwnerDraw},
      {WindowKind::Edit, MakeEdit},              {WindowKind::Static, MakeStatic},
      {WindowKind::StaticIcon, MakeStaticIcon},  {WindowKind::ComboBox, MakeComboBox},
  };
  // clang-format on
  return factories;
}

void PlaceWidget(QWidget* w, const WindowDesc& d) {
  int width = d.rect.right - d.rect.left;
  int height = d.rect.bottom - d.rect.top;
  if (d.kind == WindowKind::Dialog) return;
  if (d.kind == WindowKind::StaticIcon) {
    // An icon static takes the size of the icon it shows.
    width = GetSystemMetrics(SM_CXICON);
    height = GetSystemMetrics(SM_CYICON);
  }
  if (d.kind == WindowKind::ComboBox) {
    // The template height includes the dropped list; the box itself is as
    // tall as the font makes it.
    auto* combo = static_cast<QComboBox*>(w);
    height = combo->sizeHint().height();
    int row = combo->fontMetrics().height() + 2;
    combo->setMaxVisibleItems(std::max(1, (d.dropHeight - height) / std::max(1, row)));
  }
  if (d.parent == nullptr)
    w->resize(width, height), w->move(d.rect.left, d.rect.top);
  else
    w->setGeometry(d.rect.left, d.rect.top, width, height);
}

void CentreTopLevel(WindowRecord* record) {
  QWidget* w = record->widget;
  record->placed = true;
  QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
  QRect area = owner && owner->isVisible() ? owner->geometry()
               : w->screen()               ? w->screen()->availableGeometry()
                                           : QRect(0, 0, 1024, 768);
  w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace

void SetWindowProcedure(WindowProcedure procedure) { InstalledWindowProcedure() = procedure; }

LRESULT DeliverMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowProcedure procedure = InstalledWindowProcedure();
  return procedure ? procedure(hWnd, message, wParam, lParam) : 0;
}

WindowRecord* FindRecord(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  auto& records = Table().records;
  auto it = records.find(hWnd);
  if (it == records.end() || it->second->widget.isNull()) return nullptr;
  return it->second.get();
}

HWND HandleFromWidget(const QObject* object) {
  for (; object != nullptr; object = object->parent()) {
    QVariant value = object->property("kp_hwnd");
    if (value.isValid()) {
      HWND h = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value.toULongLong()));
      if (FindRecord(h)) return h;
    }
    if (object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow()) {
      // A top-level window of its own (a combo box's list, a menu) is not
      // part of its parent window.
      if (!value.isValid()) return nullptr;
    }
  }
  return nullptr;
}

QWidget* WidgetFromHandle(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record ? record->widget.data() : nullptr;
}

HWND CreateWindowObject(const WindowDesc& desc) {
  EnsureApplicationHooks();
  WindowRecord* parent = nullptr;
  if (desc.parent != nullptr) {
    parent = FindRecord(desc.parent);
    if (parent == nullptr) return nullptr;
  }
  auto factory = Factories().find(desc.kind);
  if (factory == Factories().end()) return nullptr;

  auto& table = Table();
  HWND h = reinterpret_cast<HWND>(table.nextValue);
  table.nextValue += 0x10;
  auto record = std::make_unique<WindowRecord>();
  record->handle = h;
  record->kind = desc.kind;
  record->parent = desc.parent;
  record->id = desc.id;
  record->style = desc.style;
  record->exStyle = desc.exStyle;
  record->text = desc.text;
  WindowRecord* raw = record.get();
  table.records.emplace(h, std::move(record));

  QWidget* w = factory->second(h, desc, parent ? parent->widget.data() : nullptr);
  w->setProperty("kp_hwnd", QVariant::fromValue<qulonglong>(reinterpret_cast<std::uintptr_t>(h)));
  raw->widget = w;
  PlaceWidget(w, desc);
  if (IsSelfDrawn(desc.kind)) SyncBackingSize(raw);
  raw->invalid = QRegion(w->rect());
  if (desc.style & WS_DISABLED) w->setEnabled(false);
  if (parent != nullptr && desc.kind != WindowKind::Dialog) {
    parent->children.push_back(h);
    if (!(desc.style & WS_VISIBLE))
      w->setHidden(true);
    else if (parent->widget->isVisible())
      w->show();
  }
  raw->lastSizeSent = w->size();
  return h;
}

bool BeginDestroy(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr || record->destroying) return false;
  record->destroying = true;
  return true;
}

void DestroyWindowObject(HWND hWnd) {
  auto& records = Table().records;
  auto it = records.find(hWnd);
  if (it == records.end()) return;
  std::unique_ptr<WindowRecord> record = std::move(it->second);
  records.erase(it);
  record->timers.clear();
  if (record->modalLoop) record->modalLoop->exit(IDCANCEL);
  if (WindowRecord* parent = FindRecord(record->parent)) std::erase(parent->children, hWnd);
  if (QWidget* w = record->widget) {
    w->hide();
    // The widget may be in the middle of delivering the event that led here.
    w->deleteLater();
  }
}

bool IsWindow(HWND hWnd) { return FindRecord(hWnd) != nullptr; }

WindowKind GetKind(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record ? record->kind : WindowKind::Custom;
}

HWND GetParent(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record && FindRecord(record->parent) ? record->parent : nullptr;
}

std::vector<HWND> GetChildren(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record ? record->children : std::vector<HWND>();
}

HWND GetDlgItem(HWND hDlg, int id) {
  WindowRecord* record = FindRecord(hDlg);
  if (record == nullptr) return nullptr;
  for (HWND child : record->children) {
    WindowRecord* c = FindRecord(child);
    if (c && c->id == id) return child;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record ? record->id : 0;
}

DWORD GetStyle(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return 0;
  DWORD style = record->style & ~(WS_VISIBLE | WS_DISABLED);
  if (!record->widget->isHidden()) style |= WS_VISIBLE;
  if (record->widget->testAttribute(Qt::WA_ForceDisabled)) style |= WS_DISABLED;
  return style;
}

bool ShowWindow(HWND hWnd, int nCmdShow) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return false;
  QWidget* w = record->widget;
  bool wasVisible = !w->isHidden();
  if (nCmdShow == SW_HIDE) {
    w->hide();
    return wasVisible;
  }
  if (w->isWindow() && !record->placed) CentreTopLevel(record);
  if (nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINIMIZED) {
    w->showMinimized();
  } else if (nCmdShow == SW_RESTORE) {
    w->showNormal();
  } else {
    w->show();
    if (w->isWindow()) {
      // The offscreen platform has no stacking order and says so each time.
      if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
      w->activateWindow();
    }
  }
  return wasVisible;
}

bool IsWindowVisible(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record && record->widget->isVisible();
}

bool IsIconic(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record && record->widget->isWindow() && record->widget->isMinimized();
}

bool EnableWindow(HWND hWnd, bool enable) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return false;
  bool wasDisabled = record->widget->testAttribute(Qt::WA_ForceDisabled);
  record->widget->setEnabled(enable);
  return wasDisabled;
}

bool IsWindowEnabled(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record && !record->widget->testAttribute(Qt::WA_ForceDisabled);
}

void SetWindowText(HWND hWnd, const std::string& text) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return;
  record->text = text;
  QWidget* w = record->widget;
  QString q = QString::fromStdString(text);
  if (auto* edit = qobject_cast<QLineEdit*>(w))
    edit->setText(q);
  else if (auto* label = qobject_cast<QLabel*>(w))
    label->setText(StaticText(text, record->style));
  else if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->setText(q);
  else if (auto* group = qobject_cast<QGroupBox*>(w))
    group->setTitle(q);
  else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    if (combo->isEditable()) combo->setEditText(q);
  } else if (w->isWindow())
    w->setWindowTitle(q);
}

std::string GetWindowText(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return std::string();
  QWidget* w = record->widget;
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
  return record->text;
}

RECT GetClientRect(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return RECT{0, 0, 0, 0};
  return RECT{0, 0, record->widget->width(), record->widget->height()};
}

RECT GetWindowRect(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return RECT{0, 0, 0, 0};
  QWidget* w = record->widget;
  QPoint origin = w->mapToGlobal(QPoint(0, 0));
  return RECT{origin.x(), origin.y(), origin.x() + w->width(), origin.y() + w->height()};
}

void MoveWindow(HWND hWnd, const RECT& rect, bool repaint) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return;
  QWidget* w = record->widget;
  QRect target(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  if (w->isWindow()) {
    record->placed = true;
    w->move(target.topLeft());
    if (w->minimumSize() == w->maximumSize())
      w->setFixedSize(target.size());
    else
      w->resize(target.size());
  } else {
    w->setGeometry(target);
  }
  if (repaint) InvalidateRect(hWnd, nullptr, true);
}

bool SetFocus(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return false;
  QWidget* w = record->widget;
  QWidget* top = w->window();
  if (top->isVisible() && !top->isActiveWindow()) top->activateWindow();
  w->setFocus(Qt::OtherFocusReason);
  return true;
}

HWND GetFocus() { return HandleFromWidget(QApplication::focusWidget()); }

HWND GetActiveWindow() { return HandleFromWidget(QApplication::activeWindow()); }

UINT_PTR SetTimer(HWND hWnd, UINT_PTR id, UINT elapse) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr || id == 0) return 0;
  // Setting a running timer again starts its period afresh.
  record->timers[id] = CurrentTimerClock().Start(hWnd, std::max<UINT>(elapse, 1), [hWnd, id] {
    if (kp::qt::IsWindow(hWnd)) DeliverMessage(hWnd, WM_TIMER, id, 0);
  });
  return id;
}

bool KillTimer(HWND hWnd, UINT_PTR id) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return false;
  auto it = record->timers.find(id);
  if (it == record->timers.end()) return false;
  record->timers.erase(it);
  return true;
}

void DragAcceptFiles(HWND hWnd, bool accept) {
  if (WindowRecord* record = FindRecord(hWnd)) record->widget->setAcceptDrops(accept);
}

HICON SetIcon(HWND hWnd, HICON icon, bool big) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return nullptr;
  HICON previous = record->icons[big ? 1 : 0];
  record->icons[big ? 1 : 0] = icon;
  if (record->widget->isWindow()) {
    // The window system picks the size it needs from both pictures.
    QIcon both = IconFor(record->icons[1]);
    for (const QSize& size : IconFor(record->icons[0]).availableSizes())
      both.addPixmap(IconFor(record->icons[0]).pixmap(size));
    record->widget->setWindowIcon(both);
  }
  return previous;
}

HICON GetIcon(HWND hWnd, bool big) {
  WindowRecord* record = FindRecord(hWnd);
  return record ? record->icons[big ? 1 : 0] : nullptr;
}

int RunModalLoop(HWND hWnd, HWND focus) {
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return -1;
  QWidget* w = record->widget;
  w->setWindowModality(Qt::ApplicationModal);
  ShowWindow(hWnd, SW_SHOW);
  if (focus) SetFocus(focus);
  QEventLoop loop;
  record->modalLoop = &loop;
  int result = loop.exec(QEventLoop::DialogExec);
  if (WindowRecord* still = FindRecord(hWnd)) still->modalLoop = nullptr;
  return result;
}

void EndModalLoop(HWND hWnd, int result) {
  WindowRecord* record = FindRecord(hWnd);
  if (record && record->modalLoop) {
    record->modalLoop->exit(result);
    // The loop is ending; it no longer counts as running.
    record->modalLoop = nullptr;
  }
}

bool IsModalLoopRunning(HWND hWnd) {
  WindowRecord* record = FindRecord(hWnd);
  return record && record->modalLoop != nullptr;
}

void PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  QMetaObject::invokeMethod(
      qApp,
      [=] {
        if (kp::qt::IsWindow(hWnd)) DeliverMessage(hWnd, message, wParam, lParam);
      },
      Qt::QueuedConnection);
}

}  // namespace kp::qt
