#include "platform/gdi/dc.h"

#include "platform/gdi/gdi_objects.h"

using namespace kp::gdi;
using namespace kp::gdi::detail;

namespace kp::gdi::detail {

PixelTarget TargetOf(DcObject& dc) {
  switch (dc.target) {
    case DcObject::Target::Memory: {
      BitmapObject* bitmap = Lookup<BitmapObject>(dc.bitmap);
      return bitmap ? TargetOf(*bitmap) : PixelTarget{};
    }
    case DcObject::Target::Surface: {
      PixelTarget t;
      t.top = dc.surface.pixels;
      t.step = dc.surface.strideInPixels;
      t.width = dc.surface.width;
      t.height = dc.surface.height;
      t.alpha = 0xFF000000;
      t.writable = true;
      return t;
    }
    case DcObject::Target::Display:
      break;
  }
  return PixelTarget{};
}

int DepthOf(const DcObject& dc) {
  if (dc.target != DcObject::Target::Memory) return 32;
  const BitmapObject* bitmap = Lookup<BitmapObject>(dc.bitmap);
  return bitmap ? bitmap->bitsPixel : 32;
}

}  // namespace kp::gdi::detail

namespace {

HDC NewDc(DcObject::Target target, const Surface& surface) {
  auto dc = std::make_unique<DcObject>();
  dc->target = target;
  dc->surface = surface;
  dc->bitmap = target == DcObject::Target::Memory ? DefaultBitmap() : 0;
  dc->pen = StockObject(BLACK_PEN);
  dc->brush = StockObject(WHITE_BRUSH);
  dc->palette = StockObject(DEFAULT_PALETTE);
  return Register<HDC>(std::move(dc));
}

}  // namespace

namespace kp::gdi {

HDC CreateSurfaceDC(const Surface& surface) {
  if (surface.width < 0 || surface.height < 0) return nullptr;
  if (surface.width > 0 && surface.height > 0 && (!surface.pixels || surface.strideInPixels < surface.width))
    return nullptr;
  return NewDc(DcObject::Target::Surface, surface);
}

HDC CreateDisplayDC() { return NewDc(DcObject::Target::Display, Surface{}); }

}  // namespace kp::gdi

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !Lookup<DcObject>(hdc)) return nullptr;
  return NewDc(DcObject::Target::Memory, Surface{});
}

BOOL DeleteDC(HDC hdc) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return FALSE;
  if (BitmapObject* bitmap = Lookup<BitmapObject>(dc->bitmap); bitmap && bitmap->selectedInto == ValueOf(hdc))
    bitmap->selectedInto = 0;
  return Table().Remove(ValueOf(hdc)) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  DcObject* dc = Lookup<DcObject>(hdc);
  const std::uint32_t value = ValueOf(h);
  GdiObject* object = Table().Find(value);
  if (!dc || !object) return nullptr;
  std::uint32_t previous = 0;
  switch (object->kind()) {
    case ObjectKind::Pen:
      previous = dc->pen;
      dc->pen = value;
      break;
    case ObjectKind::Brush:
      previous = dc->brush;
      dc->brush = value;
      break;
    case ObjectKind::Bitmap: {
      if (dc->target != DcObject::Target::Memory) return nullptr;
      auto& bitmap = static_cast<BitmapObject&>(*object);
      const std::uint32_t self = ValueOf(hdc);
      const bool stock = Table().IsStock(value);
      if (!stock && bitmap.selectedInto != 0 && bitmap.selectedInto != self) return nullptr;
      previous = dc->bitmap;
      if (BitmapObject* old = Lookup<BitmapObject>(previous); old && old->selectedInto == self)
        old->selectedInto = 0;
      dc->bitmap = value;
      if (!stock) bitmap.selectedInto = self;
      break;
    }
    case ObjectKind::Palette:
    case ObjectKind::Dc:
    case ObjectKind::Icon:
      return nullptr;
  }
  return HandleOf<HGDIOBJ>(previous);
}

namespace {

struct CurrentObject {
  UINT type;
  std::uint32_t DcObject::*field;
};
constexpr CurrentObject kCurrentObjects[] = {
    {OBJ_BITMAP, &DcObject::bitmap},
    {OBJ_PEN, &DcObject::pen},
    {OBJ_BRUSH, &DcObject::brush},
    {OBJ_PAL, &DcObject::palette},
};

}  // namespace

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return nullptr;
  for (const CurrentObject& entry : kCurrentObjects)
    if (entry.type == type) return HandleOf<HGDIOBJ>(dc->*entry.field);
  return nullptr;
}

namespace {

// Replaces one attribute of a valid DC and returns the old value, or
// `failure` for an invalid DC.
template <typename T>
T Exchange(HDC hdc, T DcObject::*field, T value, T failure) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return failure;
  T old = dc->*field;
  dc->*field = value;
  return old;
}

template <typename T>
T Read(HDC hdc, T DcObject::*field, T failure) {
  DcObject* dc = Lookup<DcObject>(hdc);
  return dc ? dc->*field : failure;
}

}  // namespace

int SetStretchBltMode(HDC hdc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Exchange(hdc, &DcObject::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC hdc) { return Read(hdc, &DcObject::stretchMode, 0); }
COLORREF SetBkColor(HDC hdc, COLORREF color) { return Exchange(hdc, &DcObject::bkColor, color, CLR_INVALID); }
COLORREF GetBkColor(HDC hdc) { return Read(hdc, &DcObject::bkColor, CLR_INVALID); }
COLORREF SetTextColor(HDC hdc, COLORREF color) { return Exchange(hdc, &DcObject::textColor, color, CLR_INVALID); }
COLORREF GetTextColor(HDC hdc) { return Read(hdc, &DcObject::textColor, CLR_INVALID); }
int SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange(hdc, &DcObject::bkMode, mode, 0);
}
int GetBkMode(HDC hdc) { return Read(hdc, &DcObject::bkMode, 0); }

namespace {

struct DeviceCap {
  int index;
  int (*value)(const DcObject& dc, const PixelTarget& target);
};
constexpr DeviceCap kDeviceCaps[] = {
    {BITSPIXEL, [](const DcObject& dc, const PixelTarget&) { return DepthOf(dc); }},
    {PLANES, [](const DcObject&, const PixelTarget&) { return 1; }},
    {HORZRES, [](const DcObject&, const PixelTarget& t) { return t.width; }},
    {VERTRES, [](const DcObject&, const PixelTarget& t) { return t.height; }},
    {LOGPIXELSX, [](const DcObject&, const PixelTarget&) { return 96; }},
    {LOGPIXELSY, [](const DcObject&, const PixelTarget&) { return 96; }},
    {NUMCOLORS, [](const DcObject&, const PixelTarget&) { return -1; }},
};

}  // namespace

int GetDeviceCaps(HDC hdc, int index) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return 0;
  for (const DeviceCap& cap : kDeviceCaps)
    if (cap.index == index) return cap.value(*dc, TargetOf(*dc));
  return 0;
}
