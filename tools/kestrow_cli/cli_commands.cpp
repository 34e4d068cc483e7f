#include "tools/kestrow_cli/cli_commands.h"

#include <cstring>

namespace {

using enum CliOperand;

const CliCommand kCommands[] = {
    {"info", "info SHAPES", "the file's length and each set's header values",
     "Prints the file's length, then one line per set: its name in the set list, its\n"
     "header number, the base offset of its block, its colour count and its image\n"
     "count, as the block header gives them.\n",
     {shapes}, 1, 0, false, &RunInfoCommand},
    {"export", "export SHAPES SET DIR [--no-gamma]", "write a set's images as bitmap files",
     "Writes DIR/slot-00.bmp to DIR/slot-29.bmp for a texture set, or DIR/landscape.bmp\n"
     "for a landscape: each image decoded as Load Set shows it and saved as 24-bit\n"
     "bitmap files the way a slot's Save As saves them. DIR is made when missing.\n",
     {shapes, set, folder}, 3, 0, true, &RunExportCommand},
    {"import", "import SHAPES SET DIR [--no-gamma]", "patch a set with the bitmap files of a folder",
     "Takes DIR/slot-00.bmp to DIR/slot-29.bmp for a texture set, or DIR/landscape.bmp\n"
     "for a landscape, in any picture format a slot takes in; scales each to the set's\n"
     "image size, reduces it to the set palette and writes it over the image in SHAPES,\n"
     "as Patch does, and prints one line per image written. A missing texture file\n"
     "leaves that image as it is, like an empty slot; a missing landscape file fails.\n"
     "Every file is read before the first byte is written: a file that cannot be read,\n"
     "or headers that put an image outside SHAPES, stop the command with nothing\n"
     "written.\n",
     {shapes, set, folder}, 3, 0, true, &RunImportCommand},
    {"palette", "palette SHAPES SET OUT.bmp [--no-gamma]", "save a set's palette picture",
     "Draws the set palette as the 256 x 256 picture of Generate Palette Bitmap and\n"
     "saves it to OUT.bmp as a slot's Save As would.\n",
     {shapes, set, output}, 3, 0, true, &RunPaletteCommand},
    {"probe", "probe SHAPES HEADER IMAGE [OUT.bmp]", "show what the headers say about any image",
     "Prints what the Image Finder's Get values from header shows for image IMAGE of\n"
     "header number HEADER: the image count, the image number pulled into the block,\n"
     "the base offset, the offsets from base and the X and Y Size. With OUT.bmp, also\n"
     "saves the image that the Image Finder's Load shows (X Size columns of Y Size\n"
     "pixels through the block's gamma-corrected palette).\n",
     {shapes, header, image, output}, 3, 1, false, &RunProbeCommand},
};

}  // namespace

std::span<const CliCommand> CliCommands() { return kCommands; }

const CliCommand* FindCliCommand(const char* name) {
  for (const CliCommand& command : kCommands)
    if (std::strcmp(command.name, name) == 0) return &command;
  return nullptr;
}

