#include "tools/make_art/program_icon.h"

namespace make_art {

PixelArt ProgramIconArt(int size) {
  if (size == 32) {
    return ParsePixelArt({
        "................................",
        "..............kkkkk.............",
        "............kklllllkk...........",
        "...........klllllllllk..........",
        "..........kdlllllllllkk.........",
        "..........kdllllllkkllkkk.......",
        "..........kddlllllkkWYdddk......",
        ".........kddllllllkkWWkddk......",
        ".........kdddlllWkkWWWWkk.......",
        ".........krddlWWWkkWWWWk........",
        "........kryrrdkWWkWWWWWk........",
        "........kryrrrkWWWWWyWWWk.......",
        ".......kryrkrrykWWyWWWWyk.......",
        ".......kyrrryrkrkWWWWyWWk.......",
        ".......krrkrryrkWWyWWWWWk.......",
        ".......kyrryrkrrkWWWWyWWk.......",
        "......kdkrrrykrrkWWyWWWk........",
        "......kldkyrrrkykWWWWWWk........",
        ".....kldkkdkrrrykWWyWWk.........",
        ".....klldkkdkkrrkkWWWk..........",
        "....kllddkkkkkkkkkWWk...........",
        "....kldddk......kYkYk...........",
        "...kWkkkk.......kYkYk...........",
        "...kkkkkkkkkkkkkYYYYYYkkkkkkkk..",
        "...kWWWWWWWWWWWWWWWWWWWWWWWWWWk.",
        "...kWYYYYYYYYYYYYkWYYYYYYYYYYyk.",
        "...kWYYYYYYYYYYYykWYYYYYYYYYYyk.",
        "...kWyyyyyyyyyyyykWyyyyyyyyyyyk.",
        "...kyyyyyyyyyyyyyyyyyyyyyyyyyyk.",
        "...kyryryryryryryryryryryryryrk.",
        "...kkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
        "................................",
    });
  }
  if (size == 16) {
    return ParsePixelArt({
        "................",
        "......kkkk......",
        ".....klllldk....",
        "....kllllkWkk...",
        "....kdllkWWYdk..",
        "....kddWkWWWk...",
        "...krrdkWWWWk...",
        "...kryrykWyWk...",
        "...kyrrykWWyk...",
        "..kdkryrkWWk....",
        "..kldkkkkWk.....",
        ".kldk..kYkY.....",
        "kkkkkkkYYYYkkkk.",
        "kWYYYYYYYYYYYyk.",
        "kyyyyyyyyyyyyyk.",
        "kkkkkkkkkkkkkkk.",
    });
  }
  return {IndexedImage(0, 0), {}};
}

}  // namespace make_art
