#include "editor/ui/resource_dib.h"

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/resources/resources.h"
#include "platform/user/window_functions.h"

namespace {

// The screen's device context for as long as the object lives.
class ScreenDC {
 public:
  ScreenDC() : m_hDC(::GetDC(nullptr)) {}
  ~ScreenDC() {
    if (m_hDC) ::ReleaseDC(nullptr, m_hDC);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC get() const { return m_hDC; }

 private:
  HDC m_hDC;
};

// Bytes of pixel data the header declares: the compressed size of an RLE
// DIB, rows of whole DWORDs otherwise. -1 for a layout this loader does not
// take (bit fields, embedded JPEG or PNG, a negative width).
LONGLONG PixelBytes(const BITMAPINFOHEADER& header) {
  if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4)
    return header.biSizeImage != 0 ? static_cast<LONGLONG>(header.biSizeImage) : -1;
  if (header.biCompression != BI_RGB || header.biWidth < 0) return -1;
  const LONGLONG stride = (static_cast<LONGLONG>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  const LONGLONG rows = header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight) : header.biHeight;
  return stride * rows;
}

}  // namespace

ULONGLONG DibColourTableEntries(const BITMAPINFOHEADER& header) {
  if (header.biClrUsed != 0) return header.biClrUsed;
  return header.biBitCount >= 1 && header.biBitCount <= 8 ? 1ULL << header.biBitCount : 0;
}

HPALETTE CreateDibPalette(const BITMAPINFO* pbmi, int* pnColours) {
  *pnColours = 0;
  const BITMAPINFOHEADER& header = pbmi->bmiHeader;
  if (header.biBitCount > 8 || header.biBitCount == 0) return nullptr;
  const ULONGLONG tableEntries = DibColourTableEntries(header);
  const ULONGLONG most = 1ULL << header.biBitCount;
  const int entries = static_cast<int>(tableEntries < most ? tableEntries : most);
  *pnColours = entries;

  // LOGPALETTE holds one entry itself; the others follow it.
  std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<std::size_t>(entries - 1));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(entries);
  const auto* table = reinterpret_cast<const BYTE*>(pbmi) + header.biSize;
  for (int i = 0; i < entries; ++i) {
    const BYTE* quad = table + 4 * i;  // blue, green, red, reserved
    logical->palPalEntry[i] = PALETTEENTRY{quad[2], quad[1], quad[0], 0};
  }
  return ::CreatePalette(logical);
}

HBITMAP LoadResourceDib(HINSTANCE hInstance, LPCTSTR lpszName, HPALETTE* phPalette, int* pnColours) {
  *phPalette = nullptr;
  *pnColours = 0;
  HRSRC resource = ::FindResource(hInstance, lpszName, RT_BITMAP);
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(hInstance, resource);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  const DWORD size = ::SizeofResource(hInstance, resource);
  if (bytes == nullptr || size < sizeof(BITMAPINFOHEADER)) return nullptr;

  // A copy of our own, zero-initialised, freed on every way out.
  std::vector<BYTE> copy(size);
  std::memcpy(copy.data(), bytes, size);
  BITMAPINFOHEADER header;
  std::memcpy(&header, copy.data(), sizeof header);

  // The header, the colour table and the pixels must all lie inside the
  // resource: the pixels start after the table's declared entries.
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size) return nullptr;
  const ULONGLONG pixelOffset = header.biSize + 4 * DibColourTableEntries(header);
  const LONGLONG pixelBytes = PixelBytes(header);
  if (pixelBytes < 0 || pixelOffset > size || static_cast<ULONGLONG>(pixelBytes) > size - pixelOffset) return nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(copy.data());

  ScreenDC screen;
  int colours = 0;
  kp::gdi::ScopedPalette palette(CreateDibPalette(info, &colours));
  HBITMAP bitmap = nullptr;
  {
    kp::gdi::ScopedSelectPalette selected(screen.get(), palette.get(), FALSE);
    if (palette) ::RealizePalette(screen.get());
    bitmap =
        ::CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, copy.data() + pixelOffset, info, DIB_RGB_COLORS);
  }
  if (bitmap == nullptr) return nullptr;
  *phPalette = palette.release();
  // The table lies inside a resource of at most 4 GB, so its count fits.
  *pnColours = static_cast<int>(DibColourTableEntries(header));
  return bitmap;
}
