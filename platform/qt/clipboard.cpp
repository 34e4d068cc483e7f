#include "platform/qt/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/base/global_memory.h"
#include "platform/gdi/dib_decoder.h"
#include "platform/qt/data_transfer.h"
#include "platform/qt/drop_files.h"

namespace {

// The one clipboard of the process: open by one window at a time, as on
// Windows; what is set waits for CloseClipboard, and what was handed out is
// released there. One user-interface thread (see DESIGN), so no lock.
struct ClipboardState {
  bool open = false;
  bool emptied = false;
  std::vector<kp::qt::TransferData> pending;
  std::vector<HGLOBAL> handedGlobals;
  std::vector<HDROP> handedDrops;
};

ClipboardState& State() {
  static ClipboardState state;
  return state;
}

QClipboard* SystemClipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

const QMimeData* Offered() {
  QClipboard* clipboard = SystemClipboard();
  return clipboard != nullptr ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
}

// The bytes of a global block, or nothing for a handle that names none.
std::optional<std::vector<BYTE>> BytesOf(HANDLE hMem) {
  const auto* bytes = static_cast<const BYTE*>(GlobalLock(hMem));
  if (bytes == nullptr) return std::nullopt;
  std::vector<BYTE> copy(bytes, bytes + GlobalSize(hMem));
  GlobalUnlock(hMem);
  return copy;
}

bool IsWhatItSays(UINT format, const std::vector<BYTE>& bytes) {
  if (format == CF_DIB) return kp::gdi::DecodePackedDib(bytes).has_value();
  if (format == CF_HDROP) return kp::qt::ParseDropFiles(bytes).has_value();
  return false;
}

}  // namespace

BOOL OpenClipboard(HWND) {
  ClipboardState& state = State();
  if (state.open) return FALSE;
  state.open = true;
  state.emptied = false;
  return TRUE;
}

BOOL CloseClipboard() {
  ClipboardState& state = State();
  if (!state.open) return FALSE;
  if (state.emptied) {
    if (QClipboard* clipboard = SystemClipboard())
      clipboard->setMimeData(kp::qt::MimeDataFor(state.pending).release(), QClipboard::Clipboard);
  }
  for (HGLOBAL handle : state.handedGlobals) GlobalFree(handle);
  for (HDROP drop : state.handedDrops) DragFinish(drop);
  state = ClipboardState{};
  return TRUE;
}

BOOL EmptyClipboard() {
  ClipboardState& state = State();
  if (!state.open) return FALSE;
  state.emptied = true;
  state.pending.clear();
  return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem) {
  ClipboardState& state = State();
  if (!state.open || !state.emptied) return nullptr;
  std::optional<std::vector<BYTE>> bytes = BytesOf(hMem);
  if (!bytes || !IsWhatItSays(uFormat, *bytes)) return nullptr;
  // The clipboard owns the block now; it keeps the bytes, not the block.
  GlobalFree(hMem);
  std::erase_if(state.pending, [&](const kp::qt::TransferData& d) { return d.format == uFormat; });
  state.pending.push_back({uFormat, std::move(*bytes)});
  return hMem;
}

HANDLE GetClipboardData(UINT uFormat) {
  ClipboardState& state = State();
  if (!state.open) return nullptr;
  const QMimeData* offered = Offered();
  if (uFormat == CF_DIB) {
    const std::vector<BYTE> dib = kp::qt::PackedDibFrom(offered);
    if (dib.empty()) return nullptr;
    HGLOBAL block = kp::base::GlobalBlockOf(dib);
    if (block == nullptr) return nullptr;
    state.handedGlobals.push_back(block);
    return block;
  }
  if (uFormat == CF_HDROP) {
    std::vector<std::string> files = kp::qt::LocalFilesFrom(offered);
    if (files.empty()) return nullptr;
    HDROP drop = kp::qt::CreateDropHandle(std::move(files), POINT{0, 0});
    state.handedDrops.push_back(drop);
    return drop;
  }
  return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format) { return kp::qt::Offers(Offered(), format) ? TRUE : FALSE; }
