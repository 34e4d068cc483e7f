#include "platform/qt/drop_files.h"

#include <cstring>
#include <unordered_map>

namespace {
struct Drop {
  std::vector<std::string> files;
  POINT point;
};

struct DropTable {
  std::unordered_map<std::uintptr_t, Drop> drops;
  std::uintptr_t next = 0x5D000;  // values are never reused
};

DropTable& Table() {
  static DropTable table;
  return table;
}

const Drop* Find(HDROP hDrop) {
  auto& drops = Table().drops;
  auto it = drops.find(reinterpret_cast<std::uintptr_t>(hDrop));
  return it == drops.end() ? nullptr : &it->second;
}
}  // namespace

UINT DragQueryFile(HDROP hDrop, UINT iFile, LPTSTR lpszFile, UINT cch) {
  const Drop* drop = Find(hDrop);
  if (drop == nullptr) return 0;
  if (iFile == 0xFFFFFFFF) return static_cast<UINT>(drop->files.size());
  if (iFile >= drop->files.size()) return 0;
  const std::string& path = drop->files[iFile];
  if (lpszFile == nullptr) return static_cast<UINT>(path.size());
  if (cch == 0) return 0;
  std::size_t n = std::min<std::size_t>(path.size(), cch - 1);
  std::memcpy(lpszFile, path.data(), n);
  lpszFile[n] = '\0';
  return static_cast<UINT>(n);
}

BOOL DragQueryPoint(HDROP hDrop, POINT* lppt) {
  const Drop* drop = Find(hDrop);
  if (drop == nullptr || lppt == nullptr) return FALSE;
  *lppt = drop->point;
  return TRUE;
}

void DragFinish(HDROP hDrop) { Table().drops.erase(reinterpret_cast<std::uintptr_t>(hDrop)); }

namespace kp::qt {
HDROP CreateDropHandle(std::vector<std::string> files, POINT point) {
  auto& table = Table();
  std::uintptr_t value = table.next;
  table.next += 0x10;
  table.drops.emplace(value, Drop{std::move(files), point});
  return reinterpret_cast<HDROP>(value);
}

std::size_t LiveDropCount() { return Table().drops.size(); }
}  // namespace kp::qt
