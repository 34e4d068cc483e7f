#pragma once
// What the bytes of a shapes file are, as far as Kestrow reads them: for
// each of the eight sets, its headers (the header record, the block header,
// the image offset table entries and the image headers of its images), its
// colour table, and the pixel bytes of each image. Patch files are made and
// checked against this: a mod changes pixel bytes, and a patch may not
// change a header.

#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "platform/file/file.h"

enum class RegionKind { Headers, ColourTable, Pixels };

struct ShapesRegion {
  LONGLONG start = 0;
  LONGLONG length = 0;
  RegionKind kind = RegionKind::Pixels;
  int setIndex = 0;
  int image = 0;  // Pixels: 0 to 29 for a texture set, 0 for a landscape

  LONGLONG End() const { return start + length; }
  bool operator==(const ShapesRegion&) const = default;
};

struct ShapesLayout {
  ULONGLONG length = 0;  // the file's
  // Every region of every set, by set and then as listed above; the images
  // of a set in image order.
  std::vector<ShapesRegion> regions;

  bool operator==(const ShapesLayout&) const = default;
};

// The file cut into pieces, each owned by one region or by none, so that
// any stretch of bytes can be shared out among the regions it covers. In a
// damaged file regions may overlap: headers then own their bytes before a
// colour table, and that before pixels, and among equals the first listed.
class RegionMap {
 public:
  static constexpr int kNoRegion = -1;

  explicit RegionMap(const ShapesLayout& layout);

  // The index in the layout's regions of the region that owns `offset`, or
  // kNoRegion.
  int OwnerOf(LONGLONG offset) const;
  // Calls `take(region index or kNoRegion, first offset, byte count)` for
  // each owner of the bytes [start, start + length), in order.
  template <typename Take>
  void Share(LONGLONG start, LONGLONG length, Take&& take) const {
    const LONGLONG end = start + length;
    for (std::size_t piece = PieceOf(start); start < end; ++piece) {
      const LONGLONG pieceEnd = piece + 1 < m_starts.size() ? m_starts[piece + 1] : end;
      const LONGLONG stop = pieceEnd < end ? pieceEnd : end;
      take(m_owners[piece], start, stop - start);
      start = stop;
    }
  }

 private:
  std::size_t PieceOf(LONGLONG offset) const;

  std::vector<LONGLONG> m_starts;  // piece i is [m_starts[i], m_starts[i + 1]), the last to the end of all
  std::vector<int> m_owners;
};

// Reads where everything lies. Headers that put a region outside the file
// throw CFileException, as reading the set would.
ShapesLayout ReadShapesLayout(CFile& file);

// "Texture Set # 1 texture #4 <column 5, row 1>", "Landscape # 2".
std::string SetImageName(int setIndex, int image);
// What a region is, for messages: the image's name, "the headers of
// Texture Set # 1", "the colour table of Landscape # 2".
std::string RegionName(const ShapesRegion& region);
