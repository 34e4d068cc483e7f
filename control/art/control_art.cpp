#include "control/art/control_art.h"

#include "control/art/control_art_data.h"

std::span<const BYTE> ToolboxBitmapDib() { return control_art_data::kToolboxBitmap; }
