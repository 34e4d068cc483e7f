#pragma once
// A stream in memory: what a container saves a control to and loads it
// from, and what tests read back byte for byte.

#include <span>
#include <vector>

#include "platform/base/handles.h"
#include "platform/com/stream.h"

// As on Windows, but without global memory: hGlobal must be null, and the
// stream starts empty and grows as it is written. fDeleteOnRelease is
// accepted and has nothing to free.
HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, IStream** ppstm);

namespace kp::com {
// A stream holding a copy of `bytes`, positioned at its start.
HRESULT CreateStreamOnBytes(std::span<const BYTE> bytes, IStream** ppstm);
// Every byte of a stream from its start, whatever its position; the
// position is left as it was. Empty when the stream cannot be read.
std::vector<BYTE> ReadWholeStream(IStream* stream);
}  // namespace kp::com
