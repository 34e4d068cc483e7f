#pragma once
// What a patch in place may leave when a write fails part-way. The patch
// writes its images one after another, each as one run of bytes; laid end
// to end they make the stream it writes. Cut off at some byte of that
// stream, the file must hold the stream's bytes before the cut and every
// other byte as it was: nothing outside the images, no image after the
// one that failed, and of that one only its first bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/base/win_types.h"

namespace write_failures {

// One image's pixel bytes in the file.
struct WrittenRun {
  std::uint64_t position = 0;
  std::uint64_t count = 0;
};

// Where a file size limit of `limit` bytes cuts a stream whose runs lie at
// rising positions: every byte below the limit up to the first run that
// reaches it, counted in bytes of the stream.
std::uint64_t CutAtSizeLimit(const std::vector<WrittenRun>& stream, std::uint64_t limit);

// Where a full disk cuts it when `before` was copied onto the disk with its
// pages of zeros as holes: at the first such page the stream writes into.
std::uint64_t CutAtFirstHole(const std::vector<WrittenRun>& stream, const std::vector<BYTE>& before,
                             std::uint64_t pageSize);

// Whether `after` is `before` with the first `cut` bytes of the stream
// written over it, the stream's bytes being those of `full`, the file as
// the whole patch leaves it.
::testing::AssertionResult HoldsWrittenPrefix(const std::vector<BYTE>& before, const std::vector<BYTE>& full,
                                              const std::vector<WrittenRun>& stream, std::uint64_t cut,
                                              const std::vector<BYTE>& after);

// How the cut falls on the runs: those wholly written, and how many bytes
// of the next one.
struct CutImages {
  std::size_t whole = 0;
  std::uint64_t partBytes = 0;
};
CutImages ImagesBefore(const std::vector<WrittenRun>& stream, std::uint64_t cut);

}  // namespace write_failures
