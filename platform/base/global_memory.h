#pragma once
// Global memory: blocks of bytes named by HGLOBAL handles, as the clipboard
// and drag and drop hand data around on Windows. A block is the caller's
// until it gives it away (SetClipboardData, COleDataSource::CacheGlobalData)
// or frees it. Handles are never reused, so a freed or forged one is simply
// not found: GlobalLock gives null and GlobalSize 0.

#include <cstddef>
#include <span>

#include "platform/base/handles.h"
#include "platform/base/win_types.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A block of dwBytes bytes (zeroed with GMEM_ZEROINIT); null when the size
// is refused or memory runs out.
HGLOBAL GlobalAlloc(UINT uFlags, std::size_t dwBytes);
// The block's bytes; they stay where they are until the block is freed.
void* GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
std::size_t GlobalSize(HGLOBAL hMem);
// Null when the block was freed, the handle itself when it names none.
HGLOBAL GlobalFree(HGLOBAL hMem);

namespace kp::base {
// A new block holding a copy of `bytes`; null as from GlobalAlloc.
HGLOBAL GlobalBlockOf(std::span<const BYTE> bytes);
// How many blocks are not yet freed (for leak tests).
std::size_t LiveGlobalCount();
// Largest block GlobalAlloc makes: more than any picture the platform takes.
constexpr std::size_t kMaxGlobalBytes = std::size_t{1} << 31;
}  // namespace kp::base
