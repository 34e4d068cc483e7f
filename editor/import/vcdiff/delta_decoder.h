#pragma once
// Decoding a delta: the header, then each window in turn, rebuilt from the
// source, from the target decoded so far, and from its own data, and
// checked against its Adler-32 where it carries one before anyone sees it.
//
// Outside data: every length, offset and address is checked before it is
// used, and no buffer grows beyond what the limits allow, however the delta
// is made. Everything wrong throws DeltaError; a secondary compressor
// other than LZMA is named, with how to make the delta without it.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "editor/import/vcdiff/delta_format.h"

namespace vcdiff {

struct DeltaHeader {
  std::optional<std::uint8_t> secondaryCompressor;
  // xdelta3's application data, as the header carries it.
  std::optional<std::vector<std::uint8_t>> applicationData;
  std::size_t windowsOffset = 0;  // where the first window begins
};

// Reads the header alone. `largestApplicationData` bounds what it takes.
// A code table of the delta's own is refused: xdelta3 neither writes nor
// reads one.
DeltaHeader ReadDeltaHeader(std::span<const std::uint8_t> delta, std::size_t largestApplicationData);

// Where the decoded windows go, in order.
class DeltaTarget {
 public:
  virtual ~DeltaTarget() = default;
  // One window, decoded and checked; `offset` is its place in the target.
  // The bytes are the decoder's until the next window.
  virtual void TakeWindow(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
  // Bytes [offset, offset + into.size()) of the windows taken so far, for a
  // window that copies from the target. The decoder asks only for bytes
  // taken already.
  virtual void ReadTaken(std::uint64_t offset, std::span<std::uint8_t> into) const = 0;
};

struct DecodeLimits {
  // The longest target accepted. It also bounds every window, every
  // section as decoded, the application data, and the dictionaries of the
  // secondary compressor.
  std::uint64_t largestTarget = 0;
};

struct DecodeSummary {
  std::uint64_t targetLength = 0;
  int windows = 0;
  int checkedWindows = 0;  // those that carried an Adler-32, all of which matched
};

DecodeSummary DecodeDelta(std::span<const std::uint8_t> delta, std::span<const std::uint8_t> source,
                          const DecodeLimits& limits, DeltaTarget& target);

// A DeltaTarget that keeps the whole target in memory.
class WholeTarget : public DeltaTarget {
 public:
  void TakeWindow(std::uint64_t offset, std::span<const std::uint8_t> bytes) override;
  void ReadTaken(std::uint64_t offset, std::span<std::uint8_t> into) const override;
  const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

 private:
  std::vector<std::uint8_t> m_bytes;
};

}  // namespace vcdiff
