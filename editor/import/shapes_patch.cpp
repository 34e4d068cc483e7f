#include "editor/import/shapes_patch.h"

#include <algorithm>
#include <future>

#include "editor/import/vcdiff/delta_decoder.h"
#include "editor/import/vcdiff/delta_encoder.h"

namespace {

// Calls `take(first, count)` for each run of bytes in which `a` and `b`,
// of the same length, differ, in order.
template <typename Take>
void ForEachDifferingRun(std::span<const BYTE> a, std::span<const BYTE> b, Take&& take) {
  for (std::size_t at = vcdiff::FirstDifference(a, b, 0); at < a.size(); at = vcdiff::FirstDifference(a, b, at)) {
    const std::size_t end = vcdiff::DifferenceEnd(a, b, at);
    take(at, end - at);
    at = end;
  }
}

std::string Offset(LONGLONG offset) { return "offset " + std::to_string(offset); }

// The change of the lowest offset among the regions of kind `kind`, or
// among those of any other kind, or null.
const RegionChange* FirstChange(const ChangeSummary& summary, RegionKind kind, bool ofKind) {
  const RegionChange* first = nullptr;
  for (const RegionChange& change : summary.regions)
    if ((change.region.kind == kind) == ofKind && (first == nullptr || change.first < first->first)) first = &change;
  return first;
}
const RegionChange* FirstChangeIn(const ChangeSummary& summary, RegionKind kind) {
  return FirstChange(summary, kind, true);
}
const RegionChange* FirstChangeOutside(const ChangeSummary& summary, RegionKind kind) {
  return FirstChange(summary, kind, false);
}

// Changes no more than this many unchanged bytes apart share a range: a
// range costs as much memory as that many bytes.
constexpr std::size_t kRangeGap = 16;

// Counts changed bytes into the regions that own them.
class ChangeCounter {
 public:
  explicit ChangeCounter(const ShapesLayout& layout)
      : m_layout(layout), m_map(layout), m_counts(layout.regions.size()) {}

  void Count(LONGLONG start, LONGLONG length) {
    m_map.Share(start, length, [&](int owner, LONGLONG first, LONGLONG count) {
      if (owner == RegionMap::kNoRegion) {
        if (m_summary.firstOther < 0) m_summary.firstOther = first;
        m_summary.otherBytes += static_cast<ULONGLONG>(count);
        return;
      }
      RegionChange& change = m_counts[static_cast<std::size_t>(owner)];
      if (change.bytes == 0) change.first = first;
      change.bytes += static_cast<ULONGLONG>(count);
    });
  }

  ChangeSummary Take() {
    for (std::size_t i = 0; i < m_counts.size(); ++i)
      if (m_counts[i].bytes > 0)
        m_summary.regions.push_back({m_layout.regions[i], m_counts[i].bytes, m_counts[i].first});
    return std::move(m_summary);
  }

 private:
  const ShapesLayout& m_layout;
  RegionMap m_map;
  std::vector<RegionChange> m_counts;
  ChangeSummary m_summary;
};

// Collects what each decoded window changes against the source, and
// answers for the target decoded so far from the source and those changes.
class ChangeCollector : public vcdiff::DeltaTarget {
 public:
  ChangeCollector(std::span<const BYTE> source, ChangeCounter& counter) : m_source(source), m_counter(counter) {}

  void TakeWindow(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
    if (bytes.size() > m_source.size() - offset)
      throw vcdiff::DeltaError("it makes a file longer than the shapes file");
    const std::span<const BYTE> before = m_source.subspan(static_cast<std::size_t>(offset), bytes.size());
    ForEachDifferingRun(before, bytes, [&](std::size_t at, std::size_t count) {
      m_counter.Count(static_cast<LONGLONG>(offset + at), static_cast<LONGLONG>(count));
      Add(offset + at, bytes.subspan(at, count));
    });
  }

  void ReadTaken(std::uint64_t offset, std::span<std::uint8_t> into) const override {
    std::copy_n(m_source.begin() + static_cast<std::ptrdiff_t>(offset), into.size(), into.begin());
    const std::uint64_t end = offset + into.size();
    // From the first range that ends after `offset`.
    const auto ranges = m_changes.ranges.begin();
    std::size_t i = static_cast<std::size_t>(
        std::partition_point(ranges, m_changes.ranges.end(),
                             [&](const ChangedRange& range) { return range.offset + range.length <= offset; }) -
        ranges);
    for (; i < m_changes.ranges.size() && m_changes.ranges[i].offset < end; ++i) {
      const ChangedRange& range = m_changes.ranges[i];
      const std::uint64_t from = std::max(range.offset, offset);
      const std::uint64_t to = std::min(range.offset + range.length, end);
      std::copy_n(m_changes.bytes.begin() + static_cast<std::ptrdiff_t>(m_firstByte[i] + (from - range.offset)),
                  to - from, into.begin() + static_cast<std::ptrdiff_t>(from - offset));
    }
  }

  ChangedBytes Take() { return std::move(m_changes); }

 private:
  // Appends the changed bytes at `offset`, to the last range when they
  // begin no more than kRangeGap bytes after it, with the source's bytes
  // between (which the target keeps).
  void Add(std::uint64_t offset, std::span<const BYTE> bytes) {
    std::vector<ChangedRange>& ranges = m_changes.ranges;
    if (!ranges.empty() && offset - (ranges.back().offset + ranges.back().length) <= kRangeGap) {
      const std::uint64_t gapStart = ranges.back().offset + ranges.back().length;
      m_changes.bytes.insert(m_changes.bytes.end(), m_source.begin() + static_cast<std::ptrdiff_t>(gapStart),
                             m_source.begin() + static_cast<std::ptrdiff_t>(offset));
      ranges.back().length = offset + bytes.size() - ranges.back().offset;
    } else {
      m_firstByte.push_back(m_changes.bytes.size());
      ranges.push_back({offset, bytes.size()});
    }
    m_changes.bytes.insert(m_changes.bytes.end(), bytes.begin(), bytes.end());
  }

  std::span<const BYTE> m_source;
  ChangeCounter& m_counter;
  ChangedBytes m_changes;
  std::vector<std::size_t> m_firstByte;  // where each range's bytes begin in m_changes.bytes
};

}  // namespace

void ChangedBytes::ApplyTo(std::span<BYTE> file) const {
  std::size_t first = 0;
  for (const ChangedRange& range : ranges) {
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(first), range.length,
                file.begin() + static_cast<std::ptrdiff_t>(range.offset));
    first += range.length;
  }
}

MadePatch MakeShapesPatch(std::span<const BYTE> source, std::span<const BYTE> target, const ShapesLayout& sourceLayout,
                          const std::string& madeBy) {
  MadePatch made;
  if (source.size() != target.size()) {
    made.refusal =
        "differ in length (" + std::to_string(source.size()) + " and " + std::to_string(target.size()) + " bytes)";
    return made;
  }
  // The digest of the whole source takes as long as comparing and encoding
  // a small change, so it runs on a second core meanwhile.
  std::future<kp::base::Sha256Digest> digest =
      std::async(std::launch::async, [source] { return kp::base::Sha256Of(source); });

  // Every difference must lie in pixel bytes. Then the headers agree too,
  // and with them where every image lies, since headers own their bytes
  // even where a damaged file lets an image overlap them.
  ChangeCounter counter(sourceLayout);
  ForEachDifferingRun(source, target, [&](std::size_t at, std::size_t count) {
    counter.Count(static_cast<LONGLONG>(at), static_cast<LONGLONG>(count));
  });
  const ChangeSummary summary = counter.Take();
  if (const RegionChange* outside = FirstChangeOutside(summary, RegionKind::Pixels);
      outside != nullptr && (summary.otherBytes == 0 || outside->first < summary.firstOther)) {
    made.refusal = "differ at " + Offset(outside->first) + ", in " + RegionName(outside->region) +
                   ", outside the images' pixel bytes";
    return made;
  }
  if (summary.otherBytes > 0) {
    made.refusal = "differ at " + Offset(summary.firstOther) + ", outside the images' pixel bytes";
    return made;
  }

  made.description.madeBy = madeBy;
  made.description.sourceLength = source.size();
  for (const RegionChange& change : summary.regions)
    made.description.images.push_back({change.region.setIndex, change.region.image, change.bytes});
  vcdiff::EncodeOptions options;
  options.applicationData = [&] {
    made.description.sourceDigest = digest.get();
    const std::string text = FormatPatchDescription(made.description);
    return std::vector<std::uint8_t>(text.begin(), text.end());
  };
  made.bytes = vcdiff::EncodeSameLengthDelta(source, target, options);
  return made;
}

std::optional<PatchDescription> ReadPatchDescription(std::span<const BYTE> patch) {
  vcdiff::DeltaHeader header;
  try {
    header = vcdiff::ReadDeltaHeader(patch, kLargestApplicationData);
  } catch (const vcdiff::DeltaError& e) {
    throw PatchFileError(e.what());
  }
  if (!header.applicationData) return std::nullopt;
  ParsedPatchDescription parsed = ParsePatchDescription(*header.applicationData);
  if (!parsed.error.empty()) throw PatchFileError(parsed.error);
  return parsed.description;
}

namespace {

std::string CheckSourceDigest(const PatchDescription& description, const kp::base::Sha256Digest& digest) {
  if (description.sourceDigest == digest) return {};
  return "it was made for another version of the shapes file (SHA-256 " +
         kp::base::DigestHex(description.sourceDigest) + ")";
}

std::string CheckSourceLength(const PatchDescription& description, std::span<const BYTE> source) {
  if (description.sourceLength == source.size()) return {};
  return "it was made for a shapes file of " + std::to_string(description.sourceLength) + " bytes, not of " +
         std::to_string(source.size());
}

}  // namespace

std::string CheckPatchSource(const PatchDescription& description, std::span<const BYTE> source) {
  if (std::string mismatch = CheckSourceLength(description, source); !mismatch.empty()) return mismatch;
  return CheckSourceDigest(description, kp::base::Sha256Of(source));
}

DecodedPatch DecodeShapesPatch(std::span<const BYTE> source, const ShapesLayout& layout, std::span<const BYTE> patch) {
  DecodedPatch decoded;
  decoded.description = ReadPatchDescription(patch);
  // The source's digest, on a second core while the patch is decoded: it
  // takes about as long. A patch for another source is still refused for
  // that first, however its decoding ends.
  std::future<kp::base::Sha256Digest> digest;
  if (decoded.description) {
    if (std::string mismatch = CheckSourceLength(*decoded.description, source); !mismatch.empty())
      throw PatchFileError(mismatch);
    digest = std::async(std::launch::async, [source] { return kp::base::Sha256Of(source); });
  }
  const auto checkDigest = [&] {
    if (!digest.valid()) return;
    if (std::string mismatch = CheckSourceDigest(*decoded.description, digest.get()); !mismatch.empty())
      throw PatchFileError(mismatch);
  };
  ChangeCounter counter(layout);
  ChangeCollector collector(source, counter);
  vcdiff::DecodeSummary summary;
  try {
    summary = vcdiff::DecodeDelta(patch, source, {source.size()}, collector);
  } catch (const vcdiff::DeltaError& e) {
    checkDigest();
    throw PatchFileError(e.what());
  }
  checkDigest();
  if (summary.targetLength != source.size())
    throw PatchFileError("it makes a file of " + std::to_string(summary.targetLength) + " bytes from one of " +
                         std::to_string(source.size()) + ": it was made for another file");
  decoded.changes = collector.Take();
  decoded.summary = counter.Take();
  decoded.windows = summary.windows;
  decoded.checkedWindows = summary.checkedWindows;
  return decoded;
}

std::string CheckPatchKeepsHeaders(const ChangeSummary& summary) {
  const RegionChange* headers = FirstChangeIn(summary, RegionKind::Headers);
  if (headers == nullptr) return {};
  return "it changes " + RegionName(headers->region) + " at " + Offset(headers->first) +
         ": the result would not be a shapes file with the same headers";
}

std::string ByteCount(ULONGLONG bytes) { return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes"); }

std::string ChangeLines(const ChangeSummary& summary, const std::string& prefix) {
  std::string lines;
  for (const RegionChange& change : summary.regions)
    lines += prefix + RegionName(change.region) + ": " + ByteCount(change.bytes) + "\n";
  if (summary.otherBytes > 0)
    lines += prefix + "other bytes, from offset " + std::to_string(summary.firstOther) + ": " +
             ByteCount(summary.otherBytes) + "\n";
  return lines;
}

std::string ImageLines(const std::vector<PatchedImage>& images, const std::string& prefix) {
  std::string lines;
  for (const PatchedImage& image : images)
    lines += prefix + SetImageName(image.setIndex, image.image) + ": " + ByteCount(image.changedBytes) + "\n";
  return lines;
}
