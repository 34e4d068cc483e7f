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
      t.scale = dc.surface.scale;
      return t;
    }
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
  if (surface.width < 0 || surface.height < 0 || !(surface.scale >= 1 && surface.scale <= 16)) return nullptr;
  if (surface.width > 0 && surface.height > 0 && (!surface.pixels || surface.strideInPixels < surface.width))
    return nullptr;
  return NewDc(DcObject::Target::Surface, surface);
}

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
      if (BitmapObject* old = Lookup<BitmapObject>(previous); old && old->selectedInto == self) old->selectedInto = 0;
      dc->bitmap = value;
      if (!stock) bitmap.selectedInto = self;
      break;
    }
    case ObjectKind::Palette:
    case ObjectKind::Dc:
    case ObjectKind::Icon: return nullptr;
  }
  return HandleOf<HGDIOBJ>(previous);
}

int SetStretchBltMode(HDC hdc, int mode) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  const int previous = dc->stretchMode;
  dc->stretchMode = mode;
  return previous;
}
