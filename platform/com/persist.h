#pragma once
// Persistence interfaces: how a container asks an object for its class and
// has it save its state to, or load it from, a stream or a property bag.

#include "platform/com/stream.h"
#include "platform/com/variant.h"

struct EXCEPINFO;

inline constexpr IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistStream = {
    0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistStreamInit = {
    0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
inline constexpr IID IID_IPropertyBag = {0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr IID IID_IPersistPropertyBag = {
    0x37D84F60, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr IID IID_IErrorLog = {0x3127CA40, 0x446E, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

class IPersist : public IUnknown {
 public:
  virtual HRESULT GetClassID(CLSID* pClassID) = 0;

 protected:
  ~IPersist() override;
};

class IPersistStream : public IPersist {
 public:
  // S_OK when the object changed since it was last saved, S_FALSE otherwise.
  virtual HRESULT IsDirty() = 0;
  virtual HRESULT Load(IStream* pStm) = 0;
  virtual HRESULT Save(IStream* pStm, BOOL fClearDirty) = 0;
  virtual HRESULT GetSizeMax(ULARGE_INTEGER* pcbSize) = 0;

 protected:
  ~IPersistStream() override;
};

class IPersistStreamInit : public IPersist {
 public:
  virtual HRESULT IsDirty() = 0;
  virtual HRESULT Load(IStream* pStm) = 0;
  virtual HRESULT Save(IStream* pStm, BOOL fClearDirty) = 0;
  virtual HRESULT GetSizeMax(ULARGE_INTEGER* pcbSize) = 0;
  // Initialises a new object: every property takes its default.
  virtual HRESULT InitNew() = 0;

 protected:
  ~IPersistStreamInit() override;
};

// Where a property bag reports the properties it could not read.
class IErrorLog : public IUnknown {
 public:
  virtual HRESULT AddError(LPCOLESTR pszPropName, EXCEPINFO* pExcepInfo) = 0;

 protected:
  ~IErrorLog() override;
};

// Named properties as VARIANTs. Read converts to the type the caller set in
// *pVar (VT_EMPTY takes the stored type); a name that is not in the bag
// gives E_INVALIDARG.
class IPropertyBag : public IUnknown {
 public:
  virtual HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) = 0;
  virtual HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) = 0;

 protected:
  ~IPropertyBag() override;
};

class IPersistPropertyBag : public IPersist {
 public:
  virtual HRESULT InitNew() = 0;
  virtual HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) = 0;
  virtual HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;

 protected:
  ~IPersistPropertyBag() override;
};
