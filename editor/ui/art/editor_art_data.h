#pragma once
// The resource bytes make-art writes into the build tree (private to the
// library): each name is defined by the generated editor_art_data.cpp.

#include <span>

#include "platform/base/win_types.h"

namespace editor_art_data {

extern const std::span<const BYTE> kAboutFrame237;
extern const std::span<const BYTE> kAboutFrame238;
extern const std::span<const BYTE> kAboutFrame239;
extern const std::span<const BYTE> kAboutFrame240;
extern const std::span<const BYTE> kAboutFrame241;
extern const std::span<const BYTE> kAboutFrame242;
extern const std::span<const BYTE> kAboutFrame243;
extern const std::span<const BYTE> kProgramIcon32;
extern const std::span<const BYTE> kProgramIcon16;

}  // namespace editor_art_data
