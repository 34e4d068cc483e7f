#pragma once
// Builds shapes files in memory: a header table, a block for every header
// number (the eight sets and small probe blocks besides), colour tables with
// 16-bit channels, image offset tables, image headers and pixel data in the
// order each set kind stores it. Tests use it to make files of any content
// and length, and then damage single fields with PutBigEndian16/32; the
// sample file tool fills it with drawn pictures.

#include <string>
#include <vector>

#include "editor/shapes/set_kinds.h"
#include "platform/base/win_types.h"

namespace sample_shapes {

// One entry of a colour table as the file stores it: four big-endian 16-bit
// words, of which the editor uses the high bytes of red, green and blue.
struct ColourEntry {
  WORD unused = 0;
  WORD red = 0;
  WORD green = 0;
  WORD blue = 0;
};

// A colour entry whose channels are `red`, `green`, `blue` in the high bytes
// and `low` in the low bytes (which the editor must ignore).
ColourEntry Colour(BYTE red, BYTE green, BYTE blue, BYTE low = 0);

struct ImageSpec {
  SHORT field0 = 0;          // the height of textures and landscapes; places the pixels
  SHORT field1 = 0;          // the width
  std::vector<BYTE> pixels;  // exactly as stored
};

struct BlockSpec {
  LONG colourCount = 0;              // the block header's field, free to disagree with the table
  std::vector<ColourEntry> colours;  // the colour table as written
  SHORT imageCount = 0;              // the block header's field
  std::vector<ImageSpec> images;     // image headers and pixels, in table order
};

// Where Build put the parts of one block (absolute file offsets).
struct BlockLayout {
  LONGLONG record = 0;  // the header record
  LONGLONG base = 0;    // the block header
  LONGLONG colourTable = 0;
  LONGLONG imageTable = 0;
  std::vector<LONGLONG> imageHeaders;
  std::vector<LONGLONG> pixels;
};

class ShapesFileBuilder {
 public:
  // Header records 0 to kHeaderCount - 1 each point at a block.
  static constexpr int kHeaderCount = 40;

  // Every header gets a block. The eight sets hold 256 or 231 distinct
  // colours (non-zero low bytes) and images of their kind whose stored
  // index at position p is (p + 7 x image) mod colour count; every other
  // header holds a small block of 16 colours and two 16 x 16 images.
  ShapesFileBuilder();

  BlockSpec& Block(int headerNumber);
  const BlockSpec& Block(int headerNumber) const;
  BlockSpec& Set(int setIndex) { return Block(SetHeaderNumbers[static_cast<std::size_t>(setIndex)]); }

  // Gives set `setIndex` a colour table of `tableEntries` distinct colours
  // and a colour count field of `count` (the table size by default).
  void SetColourCount(int setIndex, LONG count, int tableEntries = -1);
  // Replaces the stored bytes of image `image` of set `setIndex`.
  void SetImagePixels(int setIndex, int image, std::vector<BYTE> stored);

  // The file: exactly `length` bytes (cut short or padded with filler).
  std::vector<BYTE> Build(ULONGLONG length = kExpectedShapesFileSize);
  void WriteFile(const std::string& path, ULONGLONG length = kExpectedShapesFileSize);
  // Where the last Build put block `headerNumber`.
  const BlockLayout& Layout(int headerNumber) const;
  const BlockLayout& SetLayout(int setIndex) const {
    return Layout(SetHeaderNumbers[static_cast<std::size_t>(setIndex)]);
  }

 private:
  std::vector<BlockSpec> m_blocks;
  std::vector<BlockLayout> m_layouts;
};

// The test colour table: `count` distinct colours (for counts up to 256)
// with non-zero low bytes.
std::vector<ColourEntry> DistinctColours(int count);

// Big-endian stores into a built file, for damaging single fields.
void PutBigEndian16(std::vector<BYTE>& bytes, LONGLONG position, SHORT value);
void PutBigEndian32(std::vector<BYTE>& bytes, LONGLONG position, LONG value);

// Writes bytes to a file, replacing it.
void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);

}  // namespace sample_shapes
