// Whatever a user drops on a control: the whole LoadImage path over the
// file's bytes, BMP decoding and the picture decoders alike, then reading
// the bitmap back out as Save As does.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "picture_size.h"
#include "platform/codecs/picture_decoders.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/gdi.h"

namespace {

// The bound of picture_size.h for the pictures of the picture decoders:
// only what they decode within it goes on to LoadImage. (Their refusals,
// of a size or of damage, are their own fuzz targets' work.)
bool NotDecodedWithinTheBound(std::span<const BYTE> bytes) {
  return !kp::codecs::DecodePictureFile(bytes, {static_cast<std::uint64_t>(kLargestFuzzedPixels)});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const BYTE> bytes(data, size);
  if (kp::gdi::IsBmpFile(bytes)
          ? size > sizeof(BITMAPFILEHEADER) && TooLargeToFuzz(bytes.subspan(sizeof(BITMAPFILEHEADER)))
          : NotDecodedWithinTheBound(bytes))
    return 0;
  HBITMAP bitmap = kp::gdi::LoadBitmapFromBytes(bytes);
  if (!bitmap) return 0;
  BITMAP bm{};
  if (GetObject(bitmap, sizeof bm, &bm) != sizeof bm) std::abort();
  // Keep the read-back small; the decoders have already touched every pixel.
  const LONG rows = bm.bmHeight < 4 ? bm.bmHeight : 4;
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, rows, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<BYTE> bits(static_cast<std::size_t>((bm.bmWidth * 3 + 3) & ~3) * static_cast<std::size_t>(rows));
  HDC dc = CreateCompatibleDC(nullptr);
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(rows), bits.data(), &bmi, DIB_RGB_COLORS) != rows) std::abort();
  DeleteDC(dc);
  DeleteObject(bitmap);
  return 0;
}
