#include "platform/gdi/dib_bitmap.h"

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"

using namespace kp::gdi;
using namespace kp::gdi::detail;

namespace {

// The bytes a Windows caller promises behind bmi: the header, the masks that
// follow a 40-byte header, and the colour table.
std::size_t DeclaredInfoSize(const BITMAPINFOHEADER& h) {
  if (h.biSize == sizeof(BITMAPCOREHEADER)) {
    const auto& core = reinterpret_cast<const BITMAPCOREHEADER&>(h);
    return sizeof(BITMAPCOREHEADER) + (core.bcBitCount <= 8 ? (std::size_t{1} << core.bcBitCount) * 3 : 0);
  }
  std::size_t size = h.biSize;
  if (h.biSize == sizeof(BITMAPINFOHEADER) && h.biCompression == BI_BITFIELDS) size += 12;
  if (h.biSize == sizeof(BITMAPINFOHEADER) && h.biCompression == BI_ALPHABITFIELDS) size += 16;
  if (h.biBitCount <= 8) {
    const std::size_t full = std::size_t{1} << h.biBitCount;
    size += 4 * (h.biClrUsed != 0 && h.biClrUsed < full ? h.biClrUsed : full);
  }
  return size;
}

}  // namespace

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* bmi,
                       UINT usage) {
  if (!header || header->biSize < sizeof(BITMAPCOREHEADER) || usage != DIB_RGB_COLORS) return nullptr;
  int depth = 32;
  if (hdc) {
    DcObject* dc = Lookup<DcObject>(hdc);
    if (!dc) return nullptr;
    depth = DepthOf(*dc);
  }
  if (!(init & CBM_INIT)) {
    if (header->biSize == sizeof(BITMAPCOREHEADER)) {
      const auto& core = reinterpret_cast<const BITMAPCOREHEADER&>(*header);
      return Register<HBITMAP>(NewBitmap(core.bcWidth, core.bcHeight, depth));
    }
    const LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    return Register<HBITMAP>(NewBitmap(header->biWidth, height, depth));
  }
  if (!bits || !bmi || header->biSize > 124) return nullptr;
  const auto* info = reinterpret_cast<const BYTE*>(bmi);
  const std::optional<DibFormat> f = ParseDib({info, DeclaredInfoSize(bmi->bmiHeader)}, SIZE_MAX);
  if (!f) return nullptr;
  std::size_t bitsSize;
  if (f->compression == BI_RLE8 || f->compression == BI_RLE4) {
    if (bmi->bmiHeader.biSizeImage == 0) return nullptr;
    bitsSize = bmi->bmiHeader.biSizeImage;
  } else {
    bitsSize = static_cast<std::size_t>(DibStride(f->width, f->bitCount) * static_cast<std::uint64_t>(f->height));
  }
  std::vector<std::uint32_t> pixels;
  if (!DecodeBits(*f, {static_cast<const BYTE*>(bits), bitsSize}, false, pixels)) return nullptr;
  auto bitmap = NewBitmap(static_cast<int>(f->width), static_cast<int>(f->height), depth);
  if (!bitmap) return nullptr;
  std::copy(pixels.begin(), pixels.end(), bitmap->pixels.get());
  return Register<HBITMAP>(std::move(bitmap));
}

namespace kp::gdi {

HBITMAP CreateBitmapFromPackedDib(std::span<const BYTE> packed) {
  const std::optional<DecodedImage> image = DecodePackedDib(packed);
  if (!image) return nullptr;
  return CreateBitmapFromPixels(image->width, image->height, image->bitsPerPixel, image->pixels);
}

}  // namespace kp::gdi
