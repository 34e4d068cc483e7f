// Fuzz target for the shapes-file readers: the input is the shapes file, and
// its last five bytes also choose a header number, an image number and the
// gamma flag. Every read that the editor's commands make is tried; the only
// exception allowed out of a reader is CFileException, and nothing may
// crash, hang or allocate more than a bounded buffer.

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/import/palette_picture.h"
#include "editor/shapes/big_endian.h"
#include "editor/shapes/block_header.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/pixel_expansion.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/shapes_file_open.h"

namespace {

// The Image Finder's own sizes come from 16-bit fields; a probe image larger
// than this is not read here, as the dialog bounds it too.
constexpr long long kLargestProbeImage = 1 << 20;

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

void ReadImage(CFile& file, int header, int image, const SetKind& kind, const SetPalette& palette) {
  SeekImagePixels(file, header, image);
  std::vector<BYTE> indices(static_cast<std::size_t>(kind.ImageBytes()));
  file.Read(indices.data(), static_cast<UINT>(indices.size()));
  std::vector<DWORD> pixels(indices.size());
  if (kind.order == PixelOrder::columns)
    ExpandColumnOrder(pixels.data(), indices.data(), palette, kind.width, kind.height);
  else
    ExpandRowOrder(pixels.data(), indices.data(), palette, kind.width, kind.height);
}

// What the Image Finder does: values from the header, then the image taken
// as field 1 columns of field 0 bytes.
void ProbeImage(CFile& file, const Choice& choice) {
  BlockHeader block = ReadBlockHeader(file, choice.header);
  int image = choice.image;
  if (image >= block.imageCount) image = block.imageCount - 1;
  if (image < 0) image = 0;
  LONG offset = ReadImageOffset(file, block, image);
  ImageHeader header = ReadImageHeader(file, block, offset);
  long long width = header.fields[1];
  long long height = header.fields[0];
  if (width * height < 1) width = height = 1;
  if (width < 0 || height < 0 || width * height > kLargestProbeImage) return;

  SetPalette palette{};
  ReadSetPalette(file, choice.header, palette, FALSE);
  SeekImagePixels(file, choice.header, image);
  std::vector<BYTE> indices(static_cast<std::size_t>(width * height));
  file.Read(indices.data(), static_cast<UINT>(indices.size()));
  std::vector<DWORD> pixels(indices.size());
  ExpandColumnOrder(pixels.data(), indices.data(), palette, static_cast<int>(width),
                    static_cast<int>(height));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = memfd_create("shapes", MFD_CLOEXEC);
  if (fd < 0) return 0;
  if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return 0;
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  const Choice choice = ChoiceFrom(data, size);

  CFile file;
  if (OpenShapesFile(file, path.c_str(), ShapesFileUse::imageFinder).opened) {
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
  close(fd);
  return 0;
}
