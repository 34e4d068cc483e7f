#pragma once
// Encoding a delta between two byte strings of the same length whose bytes
// change in place, as a file does whose pictures were painted over: no
// search for matches, only a comparison. Unchanged stretches become COPY
// instructions from the same place in the source, changed bytes ADD (or RUN
// where one byte repeats), and each window's sections go through LZMA as
// xdelta3 frames it, so that xdelta3 decodes the delta as one of its own.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "editor/import/vcdiff/lzma_sections.h"

namespace vcdiff {

struct EncodeOptions {
  // Written into the header as xdelta3's application data, when not empty.
  // Asked for once the windows are encoded, so that a caller can work it
  // out meanwhile.
  std::function<std::vector<std::uint8_t>()> applicationData;
  // The target is cut into windows of this many bytes, each copying from
  // the same stretch of the source: the decoder holds one window at a time.
  std::size_t windowSize = 1 << 20;
  // Unchanged runs this short between two changes go into the ADD of the
  // changes around them: cheaper than a COPY and a second ADD.
  std::size_t mergeGap = 3;
  // A repeated byte this many times or more inside a change is a RUN.
  std::size_t shortestRun = 24;
  // Secondary compression through LZMA; without it the sections are
  // stored as they are (as xdelta3 -S none).
  bool compress = true;
  LzmaTuning tuning;
};

// The delta that turns `source` into `target`. Both must be of the same
// length (std::invalid_argument otherwise).
std::vector<std::uint8_t> EncodeSameLengthDelta(std::span<const std::uint8_t> source,
                                                std::span<const std::uint8_t> target, const EncodeOptions& options);

// The first position at or after `from` where `a` and `b` differ, or their
// length when none does. Both are of the same length.
std::size_t FirstDifference(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t from);
// The first position at or after `from` where `a` and `b` agree, or their
// length when none does: the end of the run of differences at `from`.
std::size_t DifferenceEnd(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t from);

}  // namespace vcdiff
