// Fuzz target for the shapes-file readers: the input is the shapes file, and
// its last five bytes also choose a header number, an image number and the
// gamma flag. Every read that the editor's commands make is tried; the only
// exception allowed out of a reader is CFileException, and nothing may
// crash, hang or allocate more than a bounded buffer.

#include <cstdint>
#include <map>
#include <vector>

#include "editor/import/palette_picture.h"
#include "editor/shapes/big_endian.h"
#include "editor/shapes/block_header.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/image_probe.h"
#include "editor/shapes/pixel_expansion.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/shapes_file_open.h"
#include "memory_file.h"

namespace {

struct Choice {
  int header = 17;
  int image = 0;
  BOOL noGamma = FALSE;
};

Choice ChoiceFrom(const std::uint8_t* data, std::size_t size) {
  Choice choice;
  if (size < 5) return choice;
  const std::uint8_t* tail = data + size - 5;
  choice.header = BigEndian16(tail);
  choice.image = BigEndian16(tail + 2);
  choice.noGamma = tail[4] & 1;
  return choice;
}

template <typename Read>
void Try(Read read) {
  try {
    read();
  } catch (const CFileException&) {
    // The one way a reader may stop.
  }
}

// The buffers of one image size, made once: a fresh allocation of this size
// per read costs the process more than the read. Each is exactly the size
// of an image, so a read or expansion past its end is still caught.
struct ImageBuffers {
  std::vector<BYTE> indices;
  std::vector<DWORD> pixels;
};

ImageBuffers& BuffersFor(const SetKind& kind) {
  static std::map<int, ImageBuffers> made;
  ImageBuffers& buffers = made[kind.ImageBytes()];
  if (buffers.indices.empty()) {
    buffers.indices.resize(static_cast<std::size_t>(kind.ImageBytes()));
    buffers.pixels.resize(buffers.indices.size());
  }
  return buffers;
}

void ReadImage(CFile& file, int header, int image, const SetKind& kind, const SetPalette& palette) {
  SeekImagePixels(file, header, image);
  std::vector<BYTE>& indices = BuffersFor(kind).indices;
  file.Read(indices.data(), static_cast<UINT>(indices.size()));
  std::vector<DWORD>& pixels = BuffersFor(kind).pixels;
  if (kind.order == PixelOrder::Columns)
    ExpandColumnOrder(pixels.data(), indices.data(), palette, kind.width, kind.height);
  else
    ExpandRowOrder(pixels.data(), indices.data(), palette, kind.width, kind.height);
}

// What the Image Finder does: values from the header, then the image taken
// as X Size columns of Y Size bytes, when that size fits the file.
void ProbeImage(CFile& file, const Choice& choice) {
  ImageProbeValues values = ReadImageProbeValues(file, choice.header, choice.image);
  ImageProbeSize size = ChooseImageProbeSize(values.xSize, values.ySize, file.GetLength());
  if (!size.fits) return;
  ReadProbedImage(file, choice.header, values.imageNumber, size.width, size.height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MemoryFile shapes;
  shapes.Fill(data, size);
  const Choice choice = ChoiceFrom(data, size);

  CFile file;
  if (OpenShapesFile(file, shapes.Path(), ShapesFileUse::ImageFinder).opened) {
    SetPalette palette{};
    LONG count = 0;
    Try([&] { count = ReadSetPalette(file, choice.header, palette, choice.noGamma); });
    static PalettePicture picture;
    FillPalettePicture(picture, palette, count);
    Try([&] { ReadImage(file, choice.header, choice.image, kTextureSet, palette); });
    Try([&] { ReadImage(file, choice.header, choice.image, kLandscape, palette); });
    Try([&] { ProbeImage(file, choice); });
    for (int set = 0; set < kSetCount; ++set) {
      const int header = SetHeaderNumbers[static_cast<std::size_t>(set)];
      Try([&] {
        SetPalette setPalette{};
        ReadSetPalette(file, header, setPalette, FALSE);
        ReadImage(file, header, set == 0 ? choice.image : 0, KindOfSet(set), setPalette);
      });
    }
    file.Close();
  }
  return 0;
}
