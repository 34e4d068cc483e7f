#pragma once
// The control's toolbox picture, 16 x 15: a framed landscape with a red
// arrow dropping into it, on the light grey of a toolbox button.

#include "tools/make_art/pixel_art.h"

namespace make_art {

PixelArt ToolboxArt();

}  // namespace make_art
