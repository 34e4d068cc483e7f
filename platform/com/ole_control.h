#pragma once
// What a control and its container know of each other beyond embedding:
// the control's site (focus, the container's own property frame) and the
// control's class information (which interface its events use).

#include "platform/com/type_info.h"

inline constexpr IID IID_IOleControlSite = {
    0xB196B289, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IProvideClassInfo = {
    0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IProvideClassInfo2 = {
    0xA6BC3AC0, 0xDBAA, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

class IOleControlSite : public IUnknown {
 public:
  // The control gained (TRUE) or lost the keyboard focus.
  virtual HRESULT OnFocus(BOOL fGotFocus) = 0;
  // Shows the container's own property frame for the control; E_NOTIMPL
  // when it has none, and the control then shows its own.
  virtual HRESULT ShowPropertyFrame() = 0;

 protected:
  ~IOleControlSite() override;
};

class IProvideClassInfo : public IUnknown {
 public:
  // The type information of the object's class (its coclass).
  virtual HRESULT GetClassInfo(ITypeInfo** ppTI) = 0;

 protected:
  ~IProvideClassInfo() override;
};

class IProvideClassInfo2 : public IProvideClassInfo {
 public:
  // GUIDKIND_DEFAULT_SOURCE_DISP_IID: the interface the object's events use.
  virtual HRESULT GetGUID(DWORD dwGuidKind, GUID* pGUID) = 0;

 protected:
  ~IProvideClassInfo2() override;
};
