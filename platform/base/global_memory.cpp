#include "platform/base/global_memory.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/base/handle_map.h"

namespace {
struct Block {
  std::unique_ptr<BYTE[]> bytes;
  std::size_t size = 0;
};

kp::base::HandleMap<HGLOBAL, Block>& Table() {
  static kp::base::HandleMap<HGLOBAL, Block> table(0x6A000);
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
  return Table().Add(std::move(block));
}

void* GlobalLock(HGLOBAL hMem) {
  const Block* block = Table().Find(hMem);
  return block != nullptr ? block->bytes.get() : nullptr;
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  // Blocks never move, so there is no lock count to keep; FALSE, as Windows
  // answers for a block that is no longer locked.
  (void)hMem;
  return FALSE;
}

std::size_t GlobalSize(HGLOBAL hMem) {
  const Block* block = Table().Find(hMem);
  return block != nullptr ? block->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL hMem) { return Table().Remove(hMem) ? nullptr : hMem; }

namespace kp::base {
HGLOBAL GlobalBlockOf(std::span<const BYTE> bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return nullptr;
  // An empty span may have no data pointer, and memcpy takes none.
  if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

std::size_t LiveGlobalCount() { return Table().Size(); }
}  // namespace kp::base
