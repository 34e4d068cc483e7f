#pragma once
// The binary form of a property exchange: every property in exchange order,
// little-endian, by position (names are not stored). BOOL takes 1 byte (its
// low byte), SHORT 2, LONG and DWORD 4. A control with a version, extents,
// a stock-property mask and one BOOL makes a 17-byte stream:
//   _Version (4) _ExtentX (4) _ExtentY (4) _StockProps (4) <BOOL> (1)
//
// Loading a BOOL clears the member and makes the stored byte its low byte,
// so any nonzero byte is TRUE and a byte of 0x70 saves back as 0x70.
// A stream that ends early fails the exchange with E_FAIL; from then on the
// exchange reads nothing more.

#include "platform/afx/prop_exchange.h"
#include "platform/com/stream.h"

class CStreamPropExchange : public CPropExchange {
 public:
  // Loads from or saves to `pStream`. Saving to a null stream only counts
  // the bytes (GetSizeMax).
  CStreamPropExchange(ISequentialStream* pStream, BOOL bLoading);

  BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) override;

  // Bytes read or written (or counted) so far.
  ULONG GetByteCount() const { return m_cbDone; }

 private:
  ISequentialStream* m_pStream;
  ULONG m_cbDone = 0;
};
