#include "tools/make_art/toolbox_bitmap.h"

namespace make_art {

PixelArt ToolboxArt() {
  // No pixel is transparent: toolbox bitmaps are opaque, and the light grey
  // ('l') is the colour containers treat as the button face.
  return ParsePixelArt({
      "llllllllllllllll",
      "lRRlllllllllllll",
      "llRRllllllllllll",
      "lllRRlllllllllll",
      "llllRRllRlllllll",
      "llllkRRRRkkkkkkk",
      "llllkBRRRBBBBBBk",
      "llllkRRRRBBBYYBk",
      "llllRRRRRCCCYYCk",
      "llllkCCCCCCCCCCk",
      "llllkCCCGGCCCGGk",
      "llllkCGGgGGCGGgk",
      "llllkGGgGgGGGgGk",
      "llllkGgGgGgGgGgk",
      "llllkkkkkkkkkkkk",
  });
}

}  // namespace make_art
