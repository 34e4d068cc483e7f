#include "platform/afx/stream_prop_exchange.h"

#include "platform/com/com_error_codes.h"

namespace {
// The stored size of each property type.
ULONG StoredSize(VARTYPE vt) {
  switch (vt) {
    case VT_BOOL: return 1;
    case VT_I2: return 2;
    case VT_I4:
    case VT_UI4: return 4;
    default: return 0;
  }
}

// The value as an unsigned number of its stored width.
DWORD ValueOf(VARTYPE vt, const void* pvProp) {
  switch (vt) {
    case VT_BOOL: return static_cast<DWORD>(*static_cast<const BOOL*>(pvProp)) & 0xFF;
    case VT_I2: return static_cast<WORD>(*static_cast<const SHORT*>(pvProp));
    case VT_I4: return static_cast<DWORD>(*static_cast<const LONG*>(pvProp));
    default: return *static_cast<const DWORD*>(pvProp);
  }
}

void StoreValue(VARTYPE vt, void* pvProp, DWORD value) {
  switch (vt) {
    case VT_BOOL: *static_cast<BOOL*>(pvProp) = static_cast<BOOL>(value & 0xFF); break;
    case VT_I2: *static_cast<SHORT*>(pvProp) = static_cast<SHORT>(static_cast<WORD>(value)); break;
    case VT_I4: *static_cast<LONG*>(pvProp) = static_cast<LONG>(value); break;
    default: *static_cast<DWORD*>(pvProp) = value; break;
  }
}
}  // namespace

CStreamPropExchange::CStreamPropExchange(ISequentialStream* pStream, BOOL bLoading)
    : CPropExchange(bLoading), m_pStream(pStream) {}

BOOL CStreamPropExchange::ExchangeProp(LPCTSTR, VARTYPE vtProp, void* pvProp, const void*) {
  const ULONG size = StoredSize(vtProp);
  if (size == 0 || pvProp == nullptr) {
    SetFailure(E_INVALIDARG);
    return FALSE;
  }
  if (FAILED(m_hrResult)) return FALSE;
  BYTE bytes[4] = {};
  if (IsLoading()) {
    ULONG read = 0;
    HRESULT hr = m_pStream != nullptr ? m_pStream->Read(bytes, size, &read) : E_POINTER;
    if (FAILED(hr) || read != size) {
      SetFailure(E_FAIL);
      return FALSE;
    }
    DWORD value = 0;
    for (ULONG i = 0; i < size; ++i) value |= static_cast<DWORD>(bytes[i]) << (8 * i);
    StoreValue(vtProp, pvProp, value);
  } else {
    DWORD value = ValueOf(vtProp, pvProp);
    for (ULONG i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(value >> (8 * i));
    if (m_pStream != nullptr) {
      ULONG written = 0;
      HRESULT hr = m_pStream->Write(bytes, size, &written);
      if (FAILED(hr) || written != size) {
        SetFailure(FAILED(hr) ? hr : STG_E_MEDIUMFULL);
        return FALSE;
      }
    }
  }
  m_cbDone += size;
  return TRUE;
}
