#pragma once
// Dialog-init data (RT_DLGINIT): records of {WORD control id, WORD message,
// DWORD length, length bytes of data}, ended by a zero WORD, little-endian.
// CB_ADDSTRING records carry a list string; WM_OCC_LOADFROMSTREAM records
// carry a hosted control's persisted state.

#include <optional>
#include <span>
#include <vector>

#include "platform/base/win_types.h"

namespace kp::afx {

struct DialogInitRecord {
  WORD controlId;
  WORD message;
  std::span<const BYTE> data;
};

// The records, or nothing when the data is malformed (a record running past
// the end, or no terminator). Empty data is a valid empty list.
std::optional<std::vector<DialogInitRecord>> ParseDialogInit(std::span<const BYTE> bytes);

}  // namespace kp::afx
