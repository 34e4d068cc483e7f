#pragma once
// The resource bytes make-art writes into the build tree (private to the
// library): each name is defined by the generated control_art_data.cpp.

#include <span>

#include "platform/base/win_types.h"

namespace control_art_data {

extern const std::span<const BYTE> kToolboxBitmap;

}  // namespace control_art_data
