#pragma once
// Handles are opaque pointer types, one distinct type per kind, as on Windows.
// Their values are never dereferenced: the platform's tables map them to
// objects. GDI handles carry 32-bit values so that a bitmap handle survives a
// trip through a 32-bit automation argument (VT_I4).

#include <cstdint>

#define KP_DECLARE_HANDLE(name) \
  struct name##__ {             \
    int unused;                 \
  };                            \
  using name = name##__*

using HANDLE = void*;
using HGDIOBJ = void*;
KP_DECLARE_HANDLE(HBITMAP);
KP_DECLARE_HANDLE(HDC);
KP_DECLARE_HANDLE(HPEN);
KP_DECLARE_HANDLE(HBRUSH);
KP_DECLARE_HANDLE(HPALETTE);
KP_DECLARE_HANDLE(HFONT);
KP_DECLARE_HANDLE(HRGN);
KP_DECLARE_HANDLE(HICON);
KP_DECLARE_HANDLE(HMENU);
KP_DECLARE_HANDLE(HWND);
KP_DECLARE_HANDLE(HINSTANCE);
KP_DECLARE_HANDLE(HKEY);
KP_DECLARE_HANDLE(HDROP);
KP_DECLARE_HANDLE(HRSRC);
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
using HGLOBAL = HANDLE;

// The 32-bit value of a handle, and a handle made from one, for the places
// where a handle travels as an integer.
template <typename H>
inline std::uint32_t HandleToLong32(H h) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h));
}
template <typename H>
inline H Long32ToHandle(std::uint32_t v) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(v));
}
