// Fuzz target for reading a whole set and patching it back: the input is the
// shapes file, and its last byte chooses the set, the gamma flag and whether
// the pictures are dithered (converted and written in two steps, as
// kestrow-cli does) or reduced to nearest colour (PatchSetImages, as the
// editor does). The
// patch writes a small bitmap into every third image; whatever the headers
// say, the file must keep its length and change only inside the pixel
// bytes of the images the patch reports as written. The only exception
// allowed out is CFileException.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "editor/import/set_patch.h"
#include "editor/shapes/set_images.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/shapes_file_open.h"
#include "platform/gdi/gdi.h"

namespace {

std::vector<BYTE> Contents(int fd) {
  std::vector<BYTE> bytes(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)));
  if (!bytes.empty() && pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) std::abort();
  return bytes;
}

HBITMAP SourceBitmap() {
  static const std::uint32_t pixels[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF, 0x00000000, 0x00808080};
  static const HBITMAP bitmap = kp::gdi::CreateBitmapFromPixels(3, 2, 32, pixels);
  return bitmap;
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
  const int set = size > 0 ? data[size - 1] % kSetCount : 0;
  const BOOL noGamma = size > 0 ? (data[size - 1] >> 3) & 1 : FALSE;
  const bool dither = size > 0 && ((data[size - 1] >> 4) & 1) != 0;
  const std::vector<BYTE> before = Contents(fd);

  std::vector<std::pair<LONGLONG, LONGLONG>> written;
  {
    CFile file;
    if (OpenShapesFile(file, path.c_str(), ShapesFileUse::Patch).opened) {
      try {
        ReadSetImages(file, set, noGamma, [](const SetImagePixels&) {});
      } catch (const CFileException&) {
      }
      const auto sourceOf = [](int image) { return image % 3 == 0 ? SourceBitmap() : HBITMAP{}; };
      const auto report = [&](const PatchImageReport& done) {
        if (done.outcome == PatchImageOutcome::Written) written.push_back({done.position, KindOfSet(set).ImageBytes()});
      };
      try {
        if (dither)
          WriteConvertedSet(file, ConvertSetImages(file, set, noGamma, sourceOf, ColourReduction::ErrorDiffusion),
                            report);
        else
          PatchSetImages(file, set, noGamma, sourceOf, report);
      } catch (const CFileException&) {
      }
      file.Close();
    }
  }

  const std::vector<BYTE> after = Contents(fd);
  if (after.size() != before.size()) std::abort();
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    bool owned = false;
    for (auto [start, count] : written)
      owned |= static_cast<LONGLONG>(i) >= start && static_cast<LONGLONG>(i) < start + count;
    if (!owned) std::abort();
  }
  close(fd);
  return 0;
}
