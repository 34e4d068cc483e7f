// The standard control classes' own messages, one table entry each.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <cstring>
#include <unordered_map>

#include "platform/base/win_user_ext.h"
#include "platform/qt/icon_pixmaps.h"
#include "platform/qt/window_record.h"

namespace kp::qt {
namespace {

using ClassHandler = LRESULT (*)(WindowRecord*, WPARAM, LPARAM);

LRESULT OnSetText(WindowRecord* r, WPARAM, LPARAM l) {
  SetWindowText(r->handle, l ? reinterpret_cast<const char*>(l) : "");
  return TRUE;
}

LRESULT OnGetText(WindowRecord* r, WPARAM w, LPARAM l) {
  if (w == 0 || l == 0) return 0;
  std::string text = GetWindowText(r->handle);
  std::size_t n = std::min<std::size_t>(text.size(), w - 1);
  std::memcpy(reinterpret_cast<char*>(l), text.data(), n);
  reinterpret_cast<char*>(l)[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT OnGetTextLength(WindowRecord* r, WPARAM, LPARAM) {
  return static_cast<LRESULT>(GetWindowText(r->handle).size());
}

LRESULT OnGetCheck(WindowRecord* r, WPARAM, LPARAM) {
  auto* box = qobject_cast<QCheckBox*>(r->widget);
  return box && box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT OnSetCheck(WindowRecord* r, WPARAM w, LPARAM) {
  if (auto* box = qobject_cast<QCheckBox*>(r->widget)) box->setChecked(w == BST_CHECKED);
  return 0;
}

LRESULT OnClick(WindowRecord* r, WPARAM, LPARAM) {
  if (auto* button = qobject_cast<QAbstractButton*>(r->widget)) button->click();
  return 0;
}

QComboBox* Combo(WindowRecord* r) { return qobject_cast<QComboBox*>(r->widget); }

LRESULT OnAddString(WindowRecord* r, WPARAM, LPARAM l) {
  QComboBox* combo = Combo(r);
  if (combo == nullptr || l == 0) return CB_ERR;
  combo->addItem(QString::fromUtf8(reinterpret_cast<const char*>(l)));
  // Windows leaves a new list without a selection.
  if (combo->count() == 1) combo->setCurrentIndex(-1);
  return combo->count() - 1;
}

LRESULT OnGetCurSel(WindowRecord* r, WPARAM, LPARAM) {
  QComboBox* combo = Combo(r);
  return combo ? combo->currentIndex() : CB_ERR;
}

LRESULT OnSetCurSel(WindowRecord* r, WPARAM w, LPARAM) {
  QComboBox* combo = Combo(r);
  if (combo == nullptr) return CB_ERR;
  int index = static_cast<int>(static_cast<INT_PTR>(w));
  if (index < 0 || index >= combo->count()) {
    combo->setCurrentIndex(-1);
    return CB_ERR;
  }
  combo->setCurrentIndex(index);
  return index;
}

LRESULT OnGetCount(WindowRecord* r, WPARAM, LPARAM) {
  QComboBox* combo = Combo(r);
  return combo ? combo->count() : CB_ERR;
}

LRESULT OnResetContent(WindowRecord* r, WPARAM, LPARAM) {
  if (QComboBox* combo = Combo(r)) combo->clear();
  return 0;
}

LRESULT OnGetLBTextLen(WindowRecord* r, WPARAM w, LPARAM) {
  QComboBox* combo = Combo(r);
  int index = static_cast<int>(w);
  if (combo == nullptr || index < 0 || index >= combo->count()) return CB_ERR;
  return static_cast<LRESULT>(combo->itemText(index).toStdString().size());
}

LRESULT OnGetLBText(WindowRecord* r, WPARAM w, LPARAM l) {
  QComboBox* combo = Combo(r);
  int index = static_cast<int>(w);
  if (combo == nullptr || index < 0 || index >= combo->count() || l == 0) return CB_ERR;
  std::string text = combo->itemText(index).toStdString();
  std::memcpy(reinterpret_cast<char*>(l), text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

LRESULT OnSetSel(WindowRecord* r, WPARAM w, LPARAM l) {
  auto* edit = qobject_cast<QLineEdit*>(r->widget);
  if (edit == nullptr) return 0;
  int start = static_cast<int>(static_cast<INT_PTR>(w));
  int end = static_cast<int>(l);
  if (start == -1)
    edit->deselect();
  else if (end == -1 || end > edit->text().size())
    edit->setSelection(start, edit->text().size() - start);
  else
    edit->setSelection(start, end - start);
  return 0;
}

// An icon static shows the icon at the system icon size.
LRESULT OnSetIcon(WindowRecord* r, WPARAM w, LPARAM) {
  auto* label = qobject_cast<QLabel*>(r->widget);
  if (label == nullptr) return 0;
  HICON previous = r->icons[1];
  r->icons[1] = reinterpret_cast<HICON>(w);
  label->setPixmap(PixmapFor(r->icons[1], GetSystemMetrics(SM_CXICON)));
  return reinterpret_cast<LRESULT>(previous);
}

LRESULT OnEraseBackground(WindowRecord* r, WPARAM, LPARAM) {
  if (!IsSelfDrawn(r->kind)) return 0;
  SyncBackingSize(r);
  QPainter painter(&r->backing);
  QRect area = r->invalid.isEmpty() ? r->widget->rect() : r->invalid.boundingRect();
  painter.fillRect(area, r->widget->palette().color(QPalette::Window));
  return 1;
}

LRESULT OnPaint(WindowRecord* r, WPARAM, LPARAM) {
  r->invalid = QRegion();
  return 0;
}

const std::unordered_map<UINT, ClassHandler>& Handlers() {
  // clang-format off
  static const std::unordered_map<UINT, ClassHandler> handlers = {
      {WM_SETTEXT, OnSetText},           {WM_GETTEXT, OnGetText},       {WM_GETTEXTLENGTH, OnGetTextLength},
      {BM_GETCHECK, OnGetCheck},         {BM_SETCHECK, OnSetCheck},     {BM_CLICK, OnClick},
      {CB_ADDSTRING, OnAddString},       {CB_GETCURSEL, OnGetCurSel},   {CB_SETCURSEL, OnSetCurSel},
      {CB_GETCOUNT, OnGetCount},         {CB_RESETCONTENT, OnResetContent},
      {CB_GETLBTEXT, OnGetLBText},       {CB_GETLBTEXTLEN, OnGetLBTextLen},
      {EM_SETSEL, OnSetSel},             {WM_ERASEBKGND, OnEraseBackground},
      {WM_PAINT, OnPaint},               {STM_SETICON, OnSetIcon},
  };
  // clang-format on
  return handlers;
}

}  // namespace

LRESULT ClassWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
  *handled = false;
  WindowRecord* record = FindRecord(hWnd);
  if (record == nullptr) return 0;
  auto it = Handlers().find(message);
  if (it == Handlers().end()) return 0;
  *handled = true;
  return it->second(record, wParam, lParam);
}

}  // namespace kp::qt
