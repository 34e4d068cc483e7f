#include "editor/shapes/sample/shapes_file_builder.h"

#include <fstream>
#include <stdexcept>

#include "editor/shapes/block_header.h"
#include "editor/shapes/image_pixels.h"

namespace sample_shapes {
namespace {

constexpr LONGLONG kAlignment = 16;
constexpr LONGLONG kImageHeaderSize = 26;

LONGLONG Aligned(LONGLONG position) { return (position + kAlignment - 1) / kAlignment * kAlignment; }

void Put16(std::vector<BYTE>& bytes, LONGLONG position, WORD value) {
  bytes[static_cast<std::size_t>(position)] = static_cast<BYTE>(value >> 8);
  bytes[static_cast<std::size_t>(position + 1)] = static_cast<BYTE>(value);
}

void Put32(std::vector<BYTE>& bytes, LONGLONG position, DWORD value) {
  Put16(bytes, position, static_cast<WORD>(value >> 16));
  Put16(bytes, position + 2, static_cast<WORD>(value));
}

std::vector<BYTE> PatternImage(int width, int height, int image, int colours) {
  std::vector<BYTE> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::size_t p = 0; p < pixels.size(); ++p)
    pixels[p] = colours > 0 ? static_cast<BYTE>((p + 7 * static_cast<std::size_t>(image)) % colours) : 0;
  return pixels;
}

BlockSpec SetBlock(int setIndex) {
  const SetKind& kind = KindOfSet(setIndex);
  const int colours = setIndex % 2 == 0 ? 256 : 231;
  BlockSpec block;
  block.colourCount = colours;
  block.colours = DistinctColours(colours);
  block.imageCount = static_cast<SHORT>(kind.imageCount);
  for (int i = 0; i < kind.imageCount; ++i)
    block.images.push_back({static_cast<SHORT>(kind.height), static_cast<SHORT>(kind.width),
                            PatternImage(kind.width, kind.height, i, colours)});
  return block;
}

BlockSpec ProbeBlock(int headerNumber) {
  BlockSpec block;
  block.colourCount = 16;
  for (int i = 0; i < 16; ++i)
    block.colours.push_back(Colour(static_cast<BYTE>(i * 16), static_cast<BYTE>(255 - i * 16),
                                   static_cast<BYTE>(headerNumber * 6), static_cast<BYTE>(i + 1)));
  block.imageCount = 2;
  for (int i = 0; i < 2; ++i) block.images.push_back({16, 16, PatternImage(16, 16, i + headerNumber, 16)});
  return block;
}

}  // namespace

ColourEntry Colour(BYTE red, BYTE green, BYTE blue, BYTE low) {
  auto word = [low](BYTE high) { return static_cast<WORD>((high << 8) | low); };
  return {static_cast<WORD>(0x0100 | low), word(red), word(green), word(blue)};
}

std::vector<ColourEntry> DistinctColours(int count) {
  std::vector<ColourEntry> colours;
  for (int i = 0; i < count; ++i) {
    // Red runs through every value, so the first 256 entries never repeat.
    auto red = static_cast<BYTE>(i);
    auto green = static_cast<BYTE>(i * 73 + 29);
    auto blue = static_cast<BYTE>(i * 151 + 7);
    colours.push_back(Colour(red, green, blue, static_cast<BYTE>(0x5A ^ i) | 1));
  }
  return colours;
}

ShapesFileBuilder::ShapesFileBuilder() : m_blocks(kHeaderCount), m_layouts(kHeaderCount) {
  for (int h = 0; h < kHeaderCount; ++h) m_blocks[static_cast<std::size_t>(h)] = ProbeBlock(h);
  for (int set = 0; set < kSetCount; ++set) Set(set) = SetBlock(set);
}

BlockSpec& ShapesFileBuilder::Block(int headerNumber) { return m_blocks.at(static_cast<std::size_t>(headerNumber)); }

const BlockSpec& ShapesFileBuilder::Block(int headerNumber) const {
  return m_blocks.at(static_cast<std::size_t>(headerNumber));
}

void ShapesFileBuilder::SetColourCount(int setIndex, LONG count, int tableEntries) {
  BlockSpec& block = Set(setIndex);
  block.colourCount = count;
  block.colours = DistinctColours(tableEntries >= 0 ? tableEntries : static_cast<int>(count));
}

void ShapesFileBuilder::SetImagePixels(int setIndex, int image, std::vector<BYTE> stored) {
  Set(setIndex).images.at(static_cast<std::size_t>(image)).pixels = std::move(stored);
}

std::vector<BYTE> ShapesFileBuilder::Build(ULONGLONG length) {
  // Lay out every block first, so the content's own size is known.
  LONGLONG position = kHeaderCount * kHeaderRecordSize;
  for (int h = 0; h < kHeaderCount; ++h) {
    const BlockSpec& block = m_blocks[static_cast<std::size_t>(h)];
    BlockLayout& layout = m_layouts[static_cast<std::size_t>(h)];
    layout = BlockLayout{};
    layout.record = HeaderRecordPosition(h);
    layout.base = Aligned(position);
    layout.colourTable = Aligned(layout.base + kBlockHeaderSize);
    layout.imageTable = Aligned(layout.colourTable + kColourEntrySize * static_cast<LONGLONG>(block.colours.size()));
    position = layout.imageTable + 4 * static_cast<LONGLONG>(block.images.size());
    for (const ImageSpec& image : block.images) {
      if (PixelDataDistance(image.field0) < kImageHeaderSize)
        throw std::invalid_argument("field 0 would put the pixels inside the image header");
      LONGLONG header = Aligned(position);
      layout.imageHeaders.push_back(header);
      layout.pixels.push_back(header + PixelDataDistance(image.field0));
      position = layout.pixels.back() + static_cast<LONGLONG>(image.pixels.size());
    }
  }
  const auto contentEnd = static_cast<std::size_t>(position);

  std::vector<BYTE> bytes(std::max<std::size_t>(contentEnd, static_cast<std::size_t>(length)));
  // Filler that is neither zero nor a valid structure, so a reader that
  // lands in it by mistake reads something recognisably wrong.
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 31 + 7);

  for (int h = 0; h < kHeaderCount; ++h) {
    const BlockSpec& block = m_blocks[static_cast<std::size_t>(h)];
    const BlockLayout& layout = m_layouts[static_cast<std::size_t>(h)];
    // Header record: eight 32-bit fields; the second is the base offset.
    for (int field = 0; field < 8; ++field) Put32(bytes, layout.record + 4 * field, 0);
    Put32(bytes, layout.record, static_cast<DWORD>(h));
    Put32(bytes, layout.record + 4, static_cast<DWORD>(layout.base));
    Put32(bytes, layout.record + 8, static_cast<DWORD>(block.colours.size()));

    // Block header, 38 bytes; the fields the editor skips hold small values.
    for (LONGLONG i = 0; i < kBlockHeaderSize; ++i) bytes[static_cast<std::size_t>(layout.base + i)] = 0;
    Put16(bytes, layout.base + 0, 0x0002);
    Put16(bytes, layout.base + 2, static_cast<WORD>(h));
    Put32(bytes, layout.base + 4, static_cast<DWORD>(block.colourCount));
    Put32(bytes, layout.base + 10, static_cast<DWORD>(layout.colourTable - layout.base));
    Put16(bytes, layout.base + 26, static_cast<WORD>(block.imageCount));
    Put32(bytes, layout.base + 28, static_cast<DWORD>(layout.imageTable - layout.base));

    for (std::size_t i = 0; i < block.colours.size(); ++i) {
      const ColourEntry& c = block.colours[i];
      LONGLONG at = layout.colourTable + kColourEntrySize * static_cast<LONGLONG>(i);
      Put16(bytes, at, c.unused);
      Put16(bytes, at + 2, c.red);
      Put16(bytes, at + 4, c.green);
      Put16(bytes, at + 6, c.blue);
    }

    for (std::size_t i = 0; i < block.images.size(); ++i) {
      const ImageSpec& image = block.images[i];
      LONGLONG header = layout.imageHeaders[i];
      Put32(bytes, layout.imageTable + 4 * static_cast<LONGLONG>(i), static_cast<DWORD>(header - layout.base));
      for (LONGLONG at = header; at < layout.pixels[i]; ++at) bytes[static_cast<std::size_t>(at)] = 0;
      Put16(bytes, header, static_cast<WORD>(image.field0));
      Put16(bytes, header + 2, static_cast<WORD>(image.field1));
      // Between the header and the pixels lie 4-byte line offsets, one per
      // unit of field 0; the editor never reads them.
      for (LONGLONG line = 0; line < image.field0; ++line)
        Put32(bytes, header + 32 + 4 * line,
              static_cast<DWORD>(PixelDataDistance(image.field0) + line * std::max<LONGLONG>(image.field1, 1)));
      std::copy(image.pixels.begin(), image.pixels.end(), bytes.begin() + layout.pixels[i]);
    }
  }
  bytes.resize(static_cast<std::size_t>(length));
  return bytes;
}

void ShapesFileBuilder::WriteFile(const std::string& path, ULONGLONG length) { WriteBytes(path, Build(length)); }

const BlockLayout& ShapesFileBuilder::Layout(int headerNumber) const {
  return m_layouts.at(static_cast<std::size_t>(headerNumber));
}

void PutBigEndian16(std::vector<BYTE>& bytes, LONGLONG position, SHORT value) {
  Put16(bytes, position, static_cast<WORD>(value));
}

void PutBigEndian32(std::vector<BYTE>& bytes, LONGLONG position, LONG value) {
  Put32(bytes, position, static_cast<DWORD>(value));
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace sample_shapes
