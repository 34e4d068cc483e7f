#include "platform/base/global_memory.h"

#include <memory>
#include <new>
#include <unordered_map>

namespace {
struct Block {
  std::unique_ptr<BYTE[]> bytes;
  std::size_t size = 0;
};

// One user-interface thread uses the blocks (see DESIGN), so the table takes
// no lock.
struct GlobalTable {
  std::unordered_map<std::uintptr_t, Block> blocks;
  std::uintptr_t next = 0x6A000;  // values are never reused
};

GlobalTable& Table() {
  static GlobalTable table;
  return table;
}
}  // namespace

HGLOBAL GlobalAlloc(UINT uFlags, std::size_t dwBytes) {
  if (dwBytes > kp::base::kMaxGlobalBytes) return nullptr;
  Block block;
  // A block of no bytes still has an address, as on Windows it has a handle.
  block.bytes.reset((uFlags & GMEM_ZEROINIT) ? new (std::nothrow) BYTE[dwBytes + 1]()
                                             : new (std::nothrow) BYTE[dwBytes + 1]);
  if (!block.bytes) return nullptr;
  block.size = dwBytes;
  GlobalTable& table = Table();
  const std::uintptr_t value = table.next;
  table.next += 0x10;
  table.blocks.emplace(value, std::move(block));
  return reinterpret_cast<HGLOBAL>(value);
}

void* GlobalLock(HGLOBAL hMem) {
  GlobalTable& table = Table();
  auto it = table.blocks.find(reinterpret_cast<std::uintptr_t>(hMem));
  return it == table.blocks.end() ? nullptr : it->second.bytes.get();
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  // Blocks never move, so there is no lock count to keep; FALSE, as Windows
  // answers for a block that is no longer locked.
  (void)hMem;
  return FALSE;
}

std::size_t GlobalSize(HGLOBAL hMem) {
  GlobalTable& table = Table();
  auto it = table.blocks.find(reinterpret_cast<std::uintptr_t>(hMem));
  return it == table.blocks.end() ? 0 : it->second.size;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  GlobalTable& table = Table();
  return table.blocks.erase(reinterpret_cast<std::uintptr_t>(hMem)) == 1 ? nullptr : hMem;
}

namespace kp::base {
std::size_t LiveGlobalCount() {
  GlobalTable& table = Table();
  return table.blocks.size();
}
}  // namespace kp::base
