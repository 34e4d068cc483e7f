#pragma once
// Patch files of shapes files: VCDIFF deltas that turn one shapes file into
// another of the same length. Kestrow makes them from two versions of a
// file, knowing where the images lie, and reads its own and those of
// xdelta3 and the patchers built on it.
//
// These functions work on whole files in memory and write nothing: making
// a patch gives its bytes, reading one gives the bytes it changes, as
// ranges. Writing them is the caller's (a new file written whole, or the
// shapes file patched in place).

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/import/patch_description.h"
#include "editor/import/shapes_layout.h"
#include "platform/base/win_types.h"

// The bytes a patch changes, in file order, each range's new bytes after
// the last one's in `bytes`. Changes a few bytes apart share one range,
// with the unchanged bytes between them, so that however a patch scatters
// its changes there are no more ranges than the file has bytes to spare.
struct ChangedRange {
  ULONGLONG offset = 0;
  ULONGLONG length = 0;
};

struct ChangedBytes {
  std::vector<ChangedRange> ranges;
  std::vector<BYTE> bytes;

  // Writes the changes over `file`, a copy of the file they were read
  // against.
  void ApplyTo(std::span<BYTE> file) const;
};

// The changed bytes shared out among the regions of a layout.
struct RegionChange {
  ShapesRegion region;
  ULONGLONG bytes = 0;  // how many of its bytes change
  LONGLONG first = 0;   // the first of them
};

struct ChangeSummary {
  std::vector<RegionChange> regions;  // in the layout's order
  ULONGLONG otherBytes = 0;           // in no region: bytes Kestrow does not read
  LONGLONG firstOther = -1;
};

// The most bytes of application data read from a patch: far more than any
// description of ours needs.
constexpr std::size_t kLargestApplicationData = 1 << 20;

// The most a patch file of a shapes file of `length` bytes can reasonably
// be: one that adds every byte as it is, and more. Larger files are refused
// before they are read.
constexpr ULONGLONG LargestPatchFile(ULONGLONG shapesLength) { return 2 * shapesLength + (1 << 20); }

struct MadePatch {
  // Why the files cannot make a patch, or empty: "differ in length (...)",
  // or "differ at offset N, in the headers of Texture Set # 1, outside the
  // images' pixel bytes".
  std::string refusal;
  std::vector<BYTE> bytes;
  PatchDescription description;
};

// The patch that turns `source` into `target`, two shapes files of the
// same length that may differ only in the pixel bytes of `sourceLayout`,
// the source's layout (so their headers agree too). `madeBy` names the
// program in the description.
MadePatch MakeShapesPatch(std::span<const BYTE> source, std::span<const BYTE> target, const ShapesLayout& sourceLayout,
                          const std::string& madeBy);

// Everything wrong with a patch file, said in a way that reads after the
// patch file's name: "is not a VCDIFF delta".
class PatchFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The header alone: Kestrow's description when the patch carries one,
// without the source. Throws PatchFileError.
std::optional<PatchDescription> ReadPatchDescription(std::span<const BYTE> patch);

// Why `source` is not the file the described patch was made from, or empty.
std::string CheckPatchSource(const PatchDescription& description, std::span<const BYTE> source);

struct DecodedPatch {
  std::optional<PatchDescription> description;  // Kestrow's, when the patch carries it
  ChangedBytes changes;
  ChangeSummary summary;  // what the changes are, by the layout
  int windows = 0;
  int checkedWindows = 0;  // windows that carried a checksum
};

// Reads `patch` against `source`, a whole shapes file with the layout
// `layout`: for a patch of ours its source digest, every window with its
// checksum, and the result must have the source's length. No buffer grows
// beyond the source's length, however the patch is made. Throws
// PatchFileError; a secondary compressor that is not read names itself
// and how to do without it.
DecodedPatch DecodeShapesPatch(std::span<const BYTE> source, const ShapesLayout& layout, std::span<const BYTE> patch);

// Why the result of a patch would not be a shapes file with the same
// headers, or empty.
std::string CheckPatchKeepsHeaders(const ChangeSummary& summary);

// One line per region changed, as "<what>: N bytes", and one for the bytes
// outside every region; each after `prefix`.
std::string ChangeLines(const ChangeSummary& summary, const std::string& prefix);
// One line per image a description lists, as "<image>: N bytes", each
// after `prefix`.
std::string ImageLines(const std::vector<PatchedImage>& images, const std::string& prefix);
// "N bytes" or "1 byte".
std::string ByteCount(ULONGLONG bytes);
