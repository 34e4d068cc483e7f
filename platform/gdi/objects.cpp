#include "platform/gdi/objects.h"

#include <cstring>
#include <iterator>

#include "platform/gdi/gdi_objects.h"

namespace kp::gdi::detail {

namespace {

// The twenty static colours of the system palette.
constexpr PALETTEENTRY kDefaultPalette[] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

struct StockBrush {
  int index;
  UINT style;
  COLORREF color;
};
constexpr StockBrush kStockBrushes[] = {
    {WHITE_BRUSH, BS_SOLID, RGB(255, 255, 255)}, {LTGRAY_BRUSH, BS_SOLID, RGB(192, 192, 192)},
    {GRAY_BRUSH, BS_SOLID, RGB(128, 128, 128)},  {DKGRAY_BRUSH, BS_SOLID, RGB(64, 64, 64)},
    {BLACK_BRUSH, BS_SOLID, RGB(0, 0, 0)},       {NULL_BRUSH, BS_NULL, 0},
};

struct StockPen {
  int index;
  int style;
  COLORREF color;
};
constexpr StockPen kStockPens[] = {
    {WHITE_PEN, PS_SOLID, RGB(255, 255, 255)},
    {BLACK_PEN, PS_SOLID, RGB(0, 0, 0)},
    {NULL_PEN, PS_NULL, 0},
};

constexpr int kStockCount = DEFAULT_PALETTE + 1;

struct StockSet {
  std::uint32_t objects[kStockCount] = {};
  std::uint32_t defaultBitmap = 0;

  StockSet() {
    for (const StockBrush& b : kStockBrushes) {
      auto brush = std::make_unique<BrushObject>();
      brush->style = b.style;
      brush->color = b.color;
      objects[b.index] = Table().Add(std::move(brush), true);
    }
    for (const StockPen& p : kStockPens) {
      auto pen = std::make_unique<PenObject>();
      pen->style = p.style;
      pen->color = p.color;
      objects[p.index] = Table().Add(std::move(pen), true);
    }
    auto palette = std::make_unique<PaletteObject>();
    palette->entries.assign(std::begin(kDefaultPalette), std::end(kDefaultPalette));
    objects[DEFAULT_PALETTE] = Table().Add(std::move(palette), true);
    // Every fresh memory DC holds this 1x1 one-bit bitmap, as on Windows;
    // it reads as black and ignores drawing.
    auto bitmap = NewBitmap(1, 1, 1);
    bitmap->readOnly = true;
    defaultBitmap = Table().Add(std::move(bitmap), true);
  }
};

StockSet& Stock() {
  static StockSet* stock = new StockSet();
  return *stock;
}

}  // namespace

std::uint32_t StockObject(int index) {
  if (index < 0 || index >= kStockCount) return 0;
  return Stock().objects[index];
}

std::uint32_t DefaultBitmap() { return Stock().defaultBitmap; }

void DeselectEverywhere(std::uint32_t handle, ObjectKind kind) {
  Table().ForEach(ObjectKind::Dc, [&](std::uint32_t, GdiObject& object) {
    auto& dc = static_cast<DcObject&>(object);
    if (kind == ObjectKind::Pen && dc.pen == handle) dc.pen = StockObject(BLACK_PEN);
    if (kind == ObjectKind::Brush && dc.brush == handle) dc.brush = StockObject(WHITE_BRUSH);
    if (kind == ObjectKind::Palette && dc.palette == handle) dc.palette = StockObject(DEFAULT_PALETTE);
  });
}

}  // namespace kp::gdi::detail

using namespace kp::gdi;
using namespace kp::gdi::detail;

namespace {

template <typename T>
int CopyOut(const T& value, int cb, LPVOID pv) {
  if (!pv) return static_cast<int>(sizeof(T));
  if (cb < static_cast<int>(sizeof(T))) return 0;
  std::memcpy(pv, &value, sizeof(T));
  return static_cast<int>(sizeof(T));
}

BITMAP DescribeBitmap(BitmapObject& bitmap) {
  BITMAP bm{};
  bm.bmWidth = bitmap.width;
  bm.bmHeight = bitmap.height;
  const long long bits = static_cast<long long>(bitmap.width) * bitmap.bitsPixel;
  // DIB sections have rows padded to 4 bytes, other bitmaps to 2.
  bm.bmWidthBytes =
      bitmap.dibSection ? static_cast<LONG>((bits + 31) / 32 * 4) : static_cast<LONG>((bits + 15) / 16 * 2);
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(bitmap.bitsPixel);
  // The store is 32-bit; only a bitmap of that depth can honestly offer it.
  bm.bmBits = bitmap.dibSection && bitmap.bitsPixel == 32 ? bitmap.pixels.get() : nullptr;
  return bm;
}

int GetBitmapObject(BitmapObject& bitmap, int cb, LPVOID pv) {
  const BITMAP bm = DescribeBitmap(bitmap);
  if (bitmap.dibSection && (pv == nullptr || cb >= static_cast<int>(sizeof(DIBSECTION)))) {
    DIBSECTION ds{};
    ds.dsBm = bm;
    ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
    ds.dsBmih.biWidth = bitmap.width;
    ds.dsBmih.biHeight = bitmap.height;
    ds.dsBmih.biPlanes = 1;
    ds.dsBmih.biBitCount = static_cast<WORD>(bitmap.bitsPixel);
    ds.dsBmih.biCompression = BI_RGB;
    ds.dsBmih.biSizeImage = static_cast<DWORD>(bm.bmWidthBytes) * static_cast<DWORD>(bitmap.height);
    if (pv) return CopyOut(ds, cb, pv);
    return static_cast<int>(sizeof(BITMAP));
  }
  return CopyOut(bm, cb, pv);
}

}  // namespace

int GetObject(HANDLE h, int cb, LPVOID pv) {
  GdiObject* object = Table().Find(ValueOf(h));
  if (!object || cb < 0) return 0;
  switch (object->kind()) {
    case ObjectKind::Bitmap: return GetBitmapObject(static_cast<BitmapObject&>(*object), cb, pv);
    case ObjectKind::Pen: {
      auto& pen = static_cast<PenObject&>(*object);
      LOGPEN lp{static_cast<UINT>(pen.style), {pen.width, 0}, pen.color};
      return CopyOut(lp, cb, pv);
    }
    case ObjectKind::Brush: {
      auto& brush = static_cast<BrushObject&>(*object);
      LOGBRUSH lb{brush.style, brush.color, 0};
      return CopyOut(lb, cb, pv);
    }
    case ObjectKind::Palette: {
      const WORD count = static_cast<WORD>(static_cast<PaletteObject&>(*object).entries.size());
      return CopyOut(count, cb, pv);
    }
    case ObjectKind::Dc:
    case ObjectKind::Icon: return 0;
  }
  return 0;
}

BOOL DeleteObject(HGDIOBJ h) {
  const std::uint32_t value = ValueOf(h);
  GdiObject* object = Table().Find(value);
  if (!object) return FALSE;
  if (Table().IsStock(value)) return TRUE;
  switch (object->kind()) {
    case ObjectKind::Bitmap:
      if (static_cast<BitmapObject&>(*object).selectedInto != 0) return FALSE;
      break;
    case ObjectKind::Pen:
    case ObjectKind::Brush:
    case ObjectKind::Palette: DeselectEverywhere(value, object->kind()); break;
    case ObjectKind::Dc:
    case ObjectKind::Icon: return FALSE;
  }
  return Table().Remove(value) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ h) {
  GdiObject* object = Table().Find(ValueOf(h));
  if (!object) return 0;
  if (object->kind() == ObjectKind::Dc)
    return static_cast<DcObject&>(*object).target == DcObject::Target::Memory ? OBJ_MEMDC : OBJ_DC;
  if (object->kind() == ObjectKind::Icon) return 0;
  return static_cast<DWORD>(object->kind());
}

HGDIOBJ GetStockObject(int i) { return HandleOf<HGDIOBJ>(StockObject(i)); }
