#pragma once
// The objects behind GDI handles, and the helpers every GDI source file uses
// to reach them. Private to platform/gdi: other layers see handles only.

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/handle_table.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/surface.h"

namespace kp::gdi::detail {

// A bitmap: width x height pixels 0x00RRGGBB, rows bottom-up, the first row
// of the store being the bottom row of the picture.
struct BitmapObject : GdiObject {
  static constexpr ObjectKind kKind = ObjectKind::Bitmap;
  BitmapObject() : GdiObject(kKind) {}
  int width = 0;
  int height = 0;
  int bitsPixel = 32;       // the depth it was made with, for GetObject
  bool dibSection = false;  // made by CreateDIBSection or LoadImage
  bool readOnly = false;    // the stock 1x1 bitmap of fresh memory DCs
  std::unique_ptr<std::uint32_t[]> pixels;
  std::uint32_t selectedInto = 0;  // the DC holding it, 0 when none
};

struct PenObject : GdiObject {
  static constexpr ObjectKind kKind = ObjectKind::Pen;
  PenObject() : GdiObject(kKind) {}
  int style = PS_SOLID;
  int width = 0;
  COLORREF color = 0;
};

struct BrushObject : GdiObject {
  static constexpr ObjectKind kKind = ObjectKind::Brush;
  BrushObject() : GdiObject(kKind) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
};

struct PaletteObject : GdiObject {
  static constexpr ObjectKind kKind = ObjectKind::Palette;
  PaletteObject() : GdiObject(kKind) {}
  std::vector<PALETTEENTRY> entries;
};

struct IconObject : GdiObject {
  static constexpr ObjectKind kKind = ObjectKind::Icon;
  IconObject() : GdiObject(kKind) {}
  std::vector<IconImage> images;
};

// A path being recorded (between BeginPath and EndPath) or finished.
struct PathState {
  enum class Stage { None, Recording, Closed };
  Stage stage = Stage::None;
  std::vector<std::vector<POINT>> figures;
};

struct DcObject : GdiObject {
  static constexpr ObjectKind kKind = ObjectKind::Dc;
  enum class Target {
    Memory,   // draws into the selected bitmap
    Surface,  // draws into pixels owned by the window layer
  };
  DcObject() : GdiObject(kKind) {}
  Target target = Target::Memory;
  Surface surface{};
  std::uint32_t bitmap = 0;
  std::uint32_t pen = 0;
  std::uint32_t brush = 0;
  std::uint32_t palette = 0;
  int stretchMode = BLACKONWHITE;
  POINT position{0, 0};
  PathState path;
};

// Handle values: a handle is its 32-bit value; anything wider is forged.
inline std::uint32_t ValueOf(const void* handle) {
  const auto v = reinterpret_cast<std::uintptr_t>(handle);
  return v > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(v);
}
template <typename H>
H HandleOf(std::uint32_t value) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(value));
}

// The object of type T behind a handle, or null.
template <typename T>
T* Lookup(std::uint32_t value) {
  GdiObject* object = Table().Find(value);
  return object && object->kind() == T::kKind ? static_cast<T*>(object) : nullptr;
}
template <typename T>
T* Lookup(const void* handle) {
  return Lookup<T>(ValueOf(handle));
}

// Adds a new object; returns its handle (null when the table is full).
template <typename H, typename T>
H Register(std::unique_ptr<T> object) {
  return HandleOf<H>(Table().Add(std::move(object)));
}

// COLORREF 0x00BBGGRR <-> pixel 0x00RRGGBB (the swap is its own inverse).
constexpr std::uint32_t SwapRedBlue(std::uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// The pixels a DC draws into, seen top-down whatever the store's order: all
// drawing goes through Row(), so bitmaps (bottom-up) and window surfaces
// (top-down, with a stride) share one implementation. Every written pixel is
// or-ed with `alpha`: 0 for bitmaps, 0xFF000000 for surfaces, whose owner
// presents them as opaque RGB32.
//
// Drawing is given in units; a surface of a high-density screen has more
// than one pixel per unit (`scale`, surface.h), and unit square (x, y)
// covers the pixels from Device(x) to Device(x + 1) across and Device(y) to
// Device(y + 1) down. Row, width and height are the store's pixels;
// Contains, Get, Put, FillSpan and FillRect take units. A blit maps its
// rectangles with Device itself, to sample its source at the pixels.
struct PixelTarget {
  std::uint32_t* top = nullptr;  // the first pixel of the top row
  std::ptrdiff_t step = 0;       // pixels from one row to the next one down
  int width = 0;
  int height = 0;
  std::uint32_t alpha = 0;
  bool writable = false;
  double scale = 1;  // pixels per unit

  std::uint32_t* Row(int y) const { return top + static_cast<std::ptrdiff_t>(y) * step; }
  // The pixel edge of unit edge v.
  long long Device(long long v) const {
    return scale == 1 ? v : static_cast<long long>(std::floor(static_cast<double>(v) * scale + 0.5));
  }
  bool Contains(long long x, long long y) const { return x >= 0 && y >= 0 && Device(x) < width && Device(y) < height; }
  // The colour of unit (x, y): its top-left pixel's. The unit must be inside.
  std::uint32_t Get(int x, int y) const { return Row(static_cast<int>(Device(y)))[Device(x)] & 0x00FFFFFF; }
  // Paints unit (x, y), which must be inside.
  void Put(int x, int y, std::uint32_t rgb) const {
    if (scale != 1)
      FillRect(x, y, 0LL + x + 1, 0LL + y + 1, rgb);
    else if (writable)
      Row(y)[x] = (rgb & 0x00FFFFFF) | alpha;
  }
  // Fills units [x0, x1) of row y, clipped to the target.
  void FillSpan(int y, long long x0, long long x1, std::uint32_t rgb) const { FillRect(x0, y, x1, 0LL + y + 1, rgb); }
  // Fills units [x0, x1) of rows [y0, y1), clipped to the target.
  void FillRect(long long x0, long long y0, long long x1, long long y1, std::uint32_t rgb) const {
    FillPixels(Device(x0), Device(y0), Device(x1), Device(y1), rgb);
  }
  // Fills pixels [x0, x1) of rows [y0, y1), clipped to the store.
  void FillPixels(long long x0, long long y0, long long x1, long long y1, std::uint32_t rgb) const;
};

// The pixels of a bitmap, and those a DC draws into (none for an
// information context: width and height 0).
PixelTarget TargetOf(BitmapObject& bitmap);
PixelTarget TargetOf(DcObject& dc);

// Bitmap creation shared by every path that makes one. Returns null when the
// size is not positive, exceeds kMaxBitmapBytes or memory runs out. The
// pixels start black.
std::unique_ptr<BitmapObject> NewBitmap(int width, int height, int bitsPixel);

// The depth of the bitmaps a DC makes compatible bitmaps with.
int DepthOf(const DcObject& dc);

// Releases every selection of an object that is being deleted: DCs holding
// the pen, brush or palette go back to the stock one.
void DeselectEverywhere(std::uint32_t handle, ObjectKind kind);

// Stock objects (created on first use).
std::uint32_t StockObject(int index);
std::uint32_t DefaultBitmap();

}  // namespace kp::gdi::detail
