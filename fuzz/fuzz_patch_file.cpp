// Fuzz target for patch files: the input is a VCDIFF delta, decoded against
// a fixed source of 4096 bytes (byte i is (7 i + i / 256) mod 256) with a
// bound of 64 KiB on the target. It is decoded twice: whole, by the delta
// decoder alone, and as a patch of a shapes file, whose changes are
// collected in ranges (with Kestrow's description checked, where the header
// carries one). Either may refuse it, only with the error of its kind; what
// both accept must agree byte for byte, and no target may pass the bound.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "editor/import/shapes_patch.h"
#include "editor/import/vcdiff/delta_decoder.h"

namespace {

constexpr std::uint64_t kLargestTarget = 1 << 16;

const std::vector<std::uint8_t>& Source() {
  static const std::vector<std::uint8_t> source = [] {
    std::vector<std::uint8_t> bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(7 * i + i / 256);
    return bytes;
  }();
  return source;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> delta(data, size);
  const std::vector<std::uint8_t>& source = Source();

  vcdiff::WholeTarget whole;
  bool decoded = false;
  try {
    const vcdiff::DecodeSummary summary = vcdiff::DecodeDelta(delta, source, {kLargestTarget}, whole);
    if (summary.targetLength != whole.Bytes().size() || summary.targetLength > kLargestTarget) std::abort();
    decoded = true;
  } catch (const vcdiff::DeltaError&) {
  }

  try {
    const DecodedPatch patch = DecodeShapesPatch(source, ShapesLayout{}, delta);
    // A patch of a shapes file makes a file of the source's length, which
    // the changes turn the source into.
    if (decoded) {
      std::vector<std::uint8_t> rebuilt = source;
      patch.changes.ApplyTo(rebuilt);
      if (rebuilt != whole.Bytes()) std::abort();
    }
    std::uint64_t changed = 0;
    for (const ChangedRange& range : patch.changes.ranges) changed += range.length;
    if (changed != patch.changes.bytes.size() || patch.summary.otherBytes > changed) std::abort();
  } catch (const PatchFileError&) {
  }
  return 0;
}
