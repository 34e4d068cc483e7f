#include "tests/write_failures/written_prefix.h"

#include <algorithm>

namespace write_failures {

std::uint64_t CutAtSizeLimit(const std::vector<WrittenRun>& stream, std::uint64_t limit) {
  std::uint64_t cut = 0;
  for (const WrittenRun& run : stream) {
    if (run.position + run.count <= limit) {
      cut += run.count;
      continue;
    }
    // The write that reaches the limit writes up to it; the next fails.
    return cut + (run.position < limit ? limit - run.position : 0);
  }
  return cut;
}

std::uint64_t CutAtFirstHole(const std::vector<WrittenRun>& stream, const std::vector<BYTE>& before,
                             std::uint64_t pageSize) {
  std::uint64_t cut = 0;
  for (const WrittenRun& run : stream) {
    for (std::uint64_t page = run.position / pageSize * pageSize; page < run.position + run.count;
         page += pageSize) {
      const auto first = before.begin() + static_cast<std::ptrdiff_t>(page);
      const auto last = before.begin() +
                        static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(page + pageSize, before.size()));
      if (std::all_of(first, last, [](BYTE b) { return b == 0; }))
        return cut + (std::max(page, run.position) - run.position);
    }
    cut += run.count;
  }
  return cut;
}

::testing::AssertionResult HoldsWrittenPrefix(const std::vector<BYTE>& before, const std::vector<BYTE>& full,
                                              const std::vector<WrittenRun>& stream, std::uint64_t cut,
                                              const std::vector<BYTE>& after) {
  if (after.size() != before.size())
    return ::testing::AssertionFailure()
           << "the file is " << after.size() << " bytes long, not " << before.size();
  std::vector<BYTE> expected = before;
  std::uint64_t left = cut;
  for (const WrittenRun& run : stream) {
    const std::uint64_t count = std::min(left, run.count);
    std::copy_n(full.begin() + static_cast<std::ptrdiff_t>(run.position), count,
                expected.begin() + static_cast<std::ptrdiff_t>(run.position));
    left -= count;
  }
  const auto differ = std::mismatch(expected.begin(), expected.end(), after.begin());
  if (differ.first == expected.end()) return ::testing::AssertionSuccess();
  const auto at = static_cast<std::uint64_t>(differ.first - expected.begin());
  auto failure = ::testing::AssertionFailure() << "byte " << at << " is " << int{*differ.second} << ", not "
                                               << int{*differ.first} << " (it was " << int{before[at]} << ")";
  std::uint64_t streamed = 0;
  for (std::size_t i = 0; i < stream.size(); ++i) {
    if (at >= stream[i].position && at < stream[i].position + stream[i].count)
      return failure << ": byte " << streamed + (at - stream[i].position) << " of the stream, in run " << i
                     << ", where the cut is at " << cut;
    streamed += stream[i].count;
  }
  return failure << ", outside every run written";
}

CutImages ImagesBefore(const std::vector<WrittenRun>& stream, std::uint64_t cut) {
  CutImages images;
  for (const WrittenRun& run : stream) {
    if (cut < run.count) {
      images.partBytes = cut;
      break;
    }
    cut -= run.count;
    ++images.whole;
  }
  return images;
}

}  // namespace write_failures
