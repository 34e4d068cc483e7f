#pragma once
// IUnknown, the root of every COM interface, and the small types every
// interface header shares.
//
// Interfaces are C++ abstract classes with the Windows method names, order
// and result codes. They are not binary compatible with Windows and need not
// be: both sides of every call are built here. Each interface that crosses a
// module boundary has an out-of-line protected destructor defined in the
// platform library; that destructor is the class's key function, so its
// vtable and type information exist once, in libksystem.so, however many
// modules implement or call the interface. Objects are still destroyed only
// through Release.

#include "platform/base/guid.h"
#include "platform/base/hresult.h"
#include "platform/base/win_types.h"

// COM strings are 8-bit UTF-8 like the rest of the platform (see bstr.h).
using OLECHAR = char;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
#define OLESTR(x) x

using LCID = DWORD;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_NEUTRAL = 0x0000;

#define STDMETHODCALLTYPE
#define STDMETHOD(method) virtual HRESULT method
#define STDMETHOD_(type, method) virtual type method
#define STDMETHODIMP HRESULT
#define STDMETHODIMP_(type) type

inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown();
};
using LPUNKNOWN = IUnknown*;
