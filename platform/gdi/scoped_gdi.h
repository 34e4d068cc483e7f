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
  explicit ScopedGdiObject(H handle = nullptr) : m_handle(handle) {}
  ~ScopedGdiObject() { reset(); }
  ScopedGdiObject(ScopedGdiObject&& other) noexcept : m_handle(other.release()) {}
  ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

  H get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  // Gives up ownership without deleting.
  H release() { return std::exchange(m_handle, nullptr); }
  void reset(H handle = nullptr) {
    if (m_handle) ::DeleteObject(m_handle);
    m_handle = handle;
  }

 private:
  H m_handle;
};

using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedPalette = ScopedGdiObject<HPALETTE>;

// Owns a DC of any kind and deletes it on destruction.
class ScopedDC {
 public:
  explicit ScopedDC(HDC hdc = nullptr) : m_hdc(hdc) {}
  ~ScopedDC() { reset(); }
  ScopedDC(ScopedDC&& other) noexcept : m_hdc(other.release()) {}
  ScopedDC& operator=(ScopedDC&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedDC(const ScopedDC&) = delete;
  ScopedDC& operator=(const ScopedDC&) = delete;

  HDC get() const { return m_hdc; }
  explicit operator bool() const { return m_hdc != nullptr; }
  HDC release() { return std::exchange(m_hdc, nullptr); }
  void reset(HDC hdc = nullptr) {
    if (m_hdc) ::DeleteDC(m_hdc);
    m_hdc = hdc;
  }

 private:
  HDC m_hdc;
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
  ScopedSelectObject(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_previous(::SelectObject(hdc, object)) {}
  ~ScopedSelectObject() {
    if (m_previous) ::SelectObject(m_hdc, m_previous);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  bool ok() const { return m_previous != nullptr; }
  HGDIOBJ previous() const { return m_previous; }

 private:
  HDC m_hdc;
  HGDIOBJ m_previous;
};

// SelectPalette with the previous palette put back on destruction.
class ScopedSelectPalette {
 public:
  ScopedSelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground)
      : m_hdc(hdc), m_previous(::SelectPalette(hdc, palette, forceBackground)), m_background(forceBackground) {}
  ~ScopedSelectPalette() {
    if (m_previous) ::SelectPalette(m_hdc, m_previous, m_background);
  }
  ScopedSelectPalette(const ScopedSelectPalette&) = delete;
  ScopedSelectPalette& operator=(const ScopedSelectPalette&) = delete;

  bool ok() const { return m_previous != nullptr; }

 private:
  HDC m_hdc;
  HPALETTE m_previous;
  BOOL m_background;
};

// Owns an icon and destroys it on destruction.
class ScopedIcon {
 public:
  explicit ScopedIcon(HICON icon = nullptr) : m_icon(icon) {}
  ~ScopedIcon() {
    if (m_icon) ::DestroyIcon(m_icon);
  }
  ScopedIcon(const ScopedIcon&) = delete;
  ScopedIcon& operator=(const ScopedIcon&) = delete;
  HICON get() const { return m_icon; }
  HICON release() { return std::exchange(m_icon, nullptr); }

 private:
  HICON m_icon;
};

}  // namespace kp::gdi
