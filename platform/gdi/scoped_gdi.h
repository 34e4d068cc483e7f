#pragma once
// RAII for GDI handles and selections, so that every path out of a function
// releases what it took:
//
//   kp::gdi::ScopedMemoryDC dc(nullptr);               // DeleteDC on exit
//   kp::gdi::ScopedBitmap copy(CreateCompatibleBitmap(dc.get(), w, h));
//   {
//     kp::gdi::ScopedSelectObject select(dc.get(), copy.get());  // old bitmap back on exit
//     BitBlt(dc.get(), ...);
//   }
//   control.SetBitmapHandle(copy.release());           // ownership handed over
//
// Declare a selection after the DC it selects into, so it is undone first.

#include <utility>

#include "platform/gdi/dc.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/palettes.h"

namespace kp::gdi {

// Owns a pen, brush, bitmap or palette and deletes it on destruction.
template <typename H>
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(H handle = nullptr) : handle_(handle) {}
  ~ScopedGdiObject() { reset(); }
  ScopedGdiObject(ScopedGdiObject&& other) noexcept : handle_(other.release()) {}
  ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Gives up ownership without deleting.
  H release() { return std::exchange(handle_, nullptr); }
  void reset(H handle = nullptr) {
    if (handle_) ::DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  H handle_;
};

using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPalette = ScopedGdiObject<HPALETTE>;

// Owns a DC of any kind and deletes it on destruction.
class ScopedDC {
 public:
  explicit ScopedDC(HDC hdc = nullptr) : hdc_(hdc) {}
  ~ScopedDC() { reset(); }
  ScopedDC(ScopedDC&& other) noexcept : hdc_(other.release()) {}
  ScopedDC& operator=(ScopedDC&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedDC(const ScopedDC&) = delete;
  ScopedDC& operator=(const ScopedDC&) = delete;

  HDC get() const { return hdc_; }
  explicit operator bool() const { return hdc_ != nullptr; }
  HDC release() { return std::exchange(hdc_, nullptr); }
  void reset(HDC hdc = nullptr) {
    if (hdc_) ::DeleteDC(hdc_);
    hdc_ = hdc;
  }

 private:
  HDC hdc_;
};

// A new memory DC compatible with `compatibleWith` (NULL: the screen);
// check it with operator bool.
class ScopedMemoryDC : public ScopedDC {
 public:
  explicit ScopedMemoryDC(HDC compatibleWith) : ScopedDC(::CreateCompatibleDC(compatibleWith)) {}
};

// Selects an object into a DC and selects the previous one back on
// destruction. When the selection fails, nothing is put back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC hdc, HGDIOBJ object) : hdc_(hdc), previous_(::SelectObject(hdc, object)) {}
  ~ScopedSelectObject() {
    if (previous_) ::SelectObject(hdc_, previous_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  bool ok() const { return previous_ != nullptr; }
  HGDIOBJ previous() const { return previous_; }

 private:
  HDC hdc_;
  HGDIOBJ previous_;
};

// SelectPalette with the previous palette put back on destruction.
class ScopedSelectPalette {
 public:
  ScopedSelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground)
      : hdc_(hdc), previous_(::SelectPalette(hdc, palette, forceBackground)), background_(forceBackground) {}
  ~ScopedSelectPalette() {
    if (previous_) ::SelectPalette(hdc_, previous_, background_);
  }
  ScopedSelectPalette(const ScopedSelectPalette&) = delete;
  ScopedSelectPalette& operator=(const ScopedSelectPalette&) = delete;

  bool ok() const { return previous_ != nullptr; }

 private:
  HDC hdc_;
  HPALETTE previous_;
  BOOL background_;
};

// Owns an icon and destroys it on destruction.
class ScopedIcon {
 public:
  explicit ScopedIcon(HICON icon = nullptr) : icon_(icon) {}
  ~ScopedIcon() {
    if (icon_) ::DestroyIcon(icon_);
  }
  ScopedIcon(const ScopedIcon&) = delete;
  ScopedIcon& operator=(const ScopedIcon&) = delete;
  HICON get() const { return icon_; }
  HICON release() { return std::exchange(icon_, nullptr); }

 private:
  HICON icon_;
};

}  // namespace kp::gdi
