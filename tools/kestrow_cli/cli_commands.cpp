#include "tools/kestrow_cli/cli_commands.h"

#include <cstring>

namespace {

using enum CliOperand;

// clang-format off
const CliCommand kCommands[] = {
    {"info", "info SHAPES [--json]", "the file's length and each set's header values",
     "Prints the file's length, then one line per set: its name in the set list, its\n"
     "header number, the base offset of its block, its colour count and its image\n"
     "count, as the block header gives them.\n"
     "\n"
     "With --json, prints one JSON object with the same values instead:\n"
     "  path             SHAPES as given\n"
     "  length           the file's length in bytes\n"
     "  expected_length  true when the length is 10043844 bytes\n"
     "  sets             one object per set, in list order: name, header,\n"
     "                   base_offset, colours, images; a set whose block cannot be\n"
     "                   read has name, header and error, the line of its failure\n",
     {Shapes}, 1, 0, JsonOption, &RunInfoCommand},
    {"export", "export SHAPES SET DIR [--no-gamma]", "write a set's images as bitmap files",
     "Writes DIR/slot-00.bmp to DIR/slot-29.bmp for a texture set, or\n"
     "DIR/landscape.bmp for a landscape: each image decoded as Load Set shows it and\n"
     "saved as 24-bit bitmap files the way a slot's Save As saves them. DIR is made\n"
     "when missing.\n",
     {Shapes, Set, Folder}, 3, 0, NoGammaOption, &RunExportCommand},
    {"import", "import SHAPES SET DIR [--no-gamma] [--dither] [--output NEW]",
     "patch a set with the bitmap files of a folder",
     "Takes DIR/slot-00.bmp to DIR/slot-29.bmp for a texture set, or\n"
     "DIR/landscape.bmp for a landscape, in any picture format a slot takes in;\n"
     "scales each to the set's image size, reduces it to the set palette and writes\n"
     "it over the image in SHAPES, as Patch does, and prints one line per image\n"
     "written. A missing texture file leaves that image as it is, like an empty slot;\n"
     "a missing landscape file fails.\n"
     "Every file is read and converted before the first byte is written: a file that\n"
     "cannot be read, or headers that put an image outside SHAPES, stop the command\n"
     "with nothing written. In place, the images are written as one patch that is\n"
     "kept in the patch history (see history and undo): a write that fails (a full\n"
     "disk) writes the old bytes back and SHAPES is left exactly as it was, as NEW is\n"
     "with --output. The lines of the images written are printed once all of them\n"
     "are.\n",
     {Shapes, Set, Folder}, 3, 0, NoGammaOption | DitherOption | OutputOption, &RunImportCommand},
    {"export-all", "export-all SHAPES DIR [--no-gamma]", "write every set's images as bitmap files",
     "Writes the images of all eight sets as export does, each set into a folder of\n"
     "its own: DIR/texture-set-1 to DIR/texture-set-4 (slot-00.bmp to slot-29.bmp)\n"
     "and DIR/landscape-1 to DIR/landscape-4 (landscape.bmp). Every set is read\n"
     "before the first file is written. DIR and its folders are made when missing.\n",
     {Shapes, Folder}, 2, 0, NoGammaOption, &RunExportAllCommand},
    {"import-all", "import-all SHAPES DIR [--no-gamma] [--dither] [--output NEW]",
     "patch every set with the bitmap files of a folder",
     "Takes the files that export-all writes, from DIR/texture-set-1 to\n"
     "DIR/texture-set-4 and DIR/landscape-1 to DIR/landscape-4, and writes each into\n"
     "its set as import does, printing one line per image written. A missing folder\n"
     "or file leaves those images as they are, landscapes included. Every picture of\n"
     "every set is read and converted before the first byte is written: one that\n"
     "cannot be read, or headers that put an image outside SHAPES, stop the command\n"
     "with nothing written. In place, every set is written as one patch: all of\n"
     "them, or, when a write fails, none.\n",
     {Shapes, Folder}, 2, 0, NoGammaOption | DitherOption | OutputOption, &RunImportAllCommand},
    {"convert", "convert SHAPES SET IN OUT.bmp [--no-gamma] [--dither]",
     "preview what import would write for one picture",
     "Scales the picture IN to the set's image size and reduces it to the set palette\n"
     "exactly as import would write it, then saves the result to OUT.bmp in the\n"
     "palette's colours as Load Set would show it, the way a slot's Save As saves.\n"
     "SHAPES is only read.\n",
     {Shapes, Set, Input, Output}, 4, 0, NoGammaOption | DitherOption, &RunConvertCommand},
    {"palette", "palette SHAPES SET OUT.bmp [--no-gamma]", "save a set's palette picture",
     "Draws the set palette as the 256 x 256 picture of Generate Palette Bitmap and\n"
     "saves it to OUT.bmp as a slot's Save As would.\n",
     {Shapes, Set, Output}, 3, 0, NoGammaOption, &RunPaletteCommand},
    {"probe", "probe SHAPES HEADER IMAGE [OUT.bmp] [--json]", "show what the headers say about any image",
     "Prints what the Image Finder's Get values from header shows for image IMAGE of\n"
     "header number HEADER: the image count, the image number pulled into the block,\n"
     "the base offset, the offsets from base and the X and Y Size. With OUT.bmp, also\n"
     "saves the image that the Image Finder's Load shows (X Size columns of Y Size\n"
     "pixels through the block's gamma-corrected palette).\n"
     "\n"
     "With --json, prints one JSON object with the same values instead: header,\n"
     "image_count, image_number, base_offset, res_header_offset,\n"
     "image_header_offset, image_offset, x_size and y_size; with OUT.bmp, once it is\n"
     "saved, also wrote: an object of path, width and height.\n",
     {Shapes, Header, Image, Output}, 3, 1, JsonOption, &RunProbeCommand},
    {"diff", "diff ORIGINAL MODIFIED OUT.vcdiff", "write a patch file that turns one shapes file into another",
     "Writes OUT.vcdiff, a VCDIFF delta that turns ORIGINAL into MODIFIED byte for\n"
     "byte and holds only what changed, compressed as xdelta3 compresses its own:\n"
     "\"xdelta3 -d -s ORIGINAL OUT.vcdiff\" rebuilds MODIFIED as well as apply does. It\n"
     "records that Kestrow made it, the SHA-256 of ORIGINAL and the images it\n"
     "changes, and prints one line per image changed.\n"
     "ORIGINAL and MODIFIED must be shapes files of the same length that differ only\n"
     "in the pixel bytes of the sets' images, as import leaves them: a difference\n"
     "anywhere else (a header, a colour table) stops it, naming the first offset.\n"
     "OUT.vcdiff is written to a temporary file beside it that replaces it once\n"
     "complete; it may not be ORIGINAL or MODIFIED.\n",
     {Original, Modified, PatchOutput}, 3, 0, 0, &RunDiffCommand},
    {"apply", "apply SHAPES PATCH [--output NEW]", "patch a shapes file with a patch file",
     "Applies PATCH, a VCDIFF delta made by diff or by xdelta3 (at its default\n"
     "settings, or with -S none), to SHAPES, printing one line per image it\n"
     "changes. Before anything is written, PATCH is decoded whole: each window is\n"
     "checked against its checksum, a patch of diff's against the SHA-256 of the\n"
     "file it was made from, and the result must be a shapes file of the same length\n"
     "and headers. A patch made for another version of the file, a damaged one, or\n"
     "one compressed with another secondary compressor (xdelta3 -S djw or fgk) is\n"
     "refused with nothing written. In place, the changes are written as one patch\n"
     "that is kept in the patch history, so undo takes it back; SHAPES stays locked\n"
     "against other writers from the check to the last byte.\n",
     {Shapes, Patch}, 2, 0, OutputOption, &RunApplyCommand},
    {"show", "show PATCH [SHAPES] [--json]", "list what a patch file changes",
     "Lists each image that PATCH changes, by its set and its number and place in\n"
     "the grid (or the landscape), with how many of its bytes change. A patch that\n"
     "diff made lists them itself, with the SHA-256 of the file it was made from;\n"
     "with SHAPES, show also says whether SHAPES is that file. For a patch that\n"
     "another program made, SHAPES is needed: show applies PATCH to it in memory and\n"
     "names the images, colour tables and headers that the changed bytes fall in,\n"
     "where the headers of SHAPES put them. Nothing is written.\n"
     "\n"
     "With --json, prints one JSON object instead:\n"
     "  path           PATCH as given\n"
     "  made_by        the program diff names, or null for a patch of another program\n"
     "  source_length, source_sha256\n"
     "                 for a patch of diff: the file it was made from\n"
     "  made_for       for a patch of diff, with SHAPES: whether SHAPES is that file\n"
     "  changes        null without SHAPES for another program's patch, else one\n"
     "                 object per part changed: set (1 to 8), name, part (image,\n"
     "                 colour table or headers), image, column and row (textures),\n"
     "                 bytes\n"
     "  other_bytes    for another program's patch: changed bytes outside every set\n",
     {Patch, Shapes}, 1, 1, JsonOption, &RunShowCommand},
    {"history", "history SHAPES [--json]", "list the patches of a file that undo can put back",
     "Lists the patches made in place to SHAPES (by import, import-all, apply, undo\n"
     "and the editor's Patch and Apply Patch File...), newest first, one per line:\n"
     "its number, when it was made, and the sets and images it wrote. An undo is\n"
     "listed as the undo of the numbers it put back.\n"
     "\n"
     "With --json, prints one JSON object instead: path, and entries, each with\n"
     "id, time (UTC), kind (\"patch\", \"undo\" or \"apply\"), undoes (the ids an\n"
     "undo put back), sets (name and images), bytes (of the before-image kept),\n"
     "written_sha256 (of the bytes the patch wrote), and the path, device, inode\n"
     "and length of the file it patched.\n",
     {Shapes}, 1, 0, JsonOption, &RunHistoryCommand},
    {"undo", "undo SHAPES [--steps N]", "put back the newest patch of a file",
     "Writes back what SHAPES held before its newest patch (or its newest N, newest\n"
     "first), as one patch of its own, and prints a line for each patch put back.\n"
     "It refuses, and changes nothing, when SHAPES no longer holds the bytes those\n"
     "patches wrote, because something else changed them since. The undo is kept in\n"
     "the history too, so undoing an undo redoes the patch.\n",
     {Shapes}, 1, 0, StepsOption, &RunUndoCommand},
};
// clang-format on

const CliOptionRule kOptions[] = {
    {NoGammaOption, "--no-gamma", nullptr, &CliRequest::noGammaCorrection, nullptr,
     "read the set palette without the gamma curve, as the check box\n"
     "\"Disable gamma correction when loading\" does\n",
     nullptr},
    {DitherOption, "--dither", nullptr, &CliRequest::dither, nullptr,
     "reduce by error diffusion (Floyd-Steinberg, serpentine)\n"
     "instead of plain nearest colour, the same on every machine\n",
     "With --dither, what each pixel's nearest palette entry misses of its colour is\n"
     "carried on to its neighbours not yet done (Floyd-Steinberg, rows top down and\n"
     "alternately left to right and right to left), so a smooth gradient keeps its\n"
     "mean colour instead of breaking into bands. Without it, each pixel becomes its\n"
     "nearest palette entry, as in the editor.\n"},
    {OutputOption, "--output", "NEW", nullptr, &CliRequest::newShapesPath,
     "leave SHAPES as it is and write the patched file to NEW\n",
     "With --output NEW, SHAPES is only read: the patched file is written to a\n"
     "temporary file beside NEW that replaces NEW once complete, so NEW is never\n"
     "left half-written, and it holds exactly the bytes that patching SHAPES in place\n"
     "would leave. NEW may not be SHAPES, nor a link to it. Without --output, SHAPES\n"
     "is patched in place.\n"},
    {JsonOption, "--json", nullptr, &CliRequest::json, nullptr,
     "print one JSON object with the values instead of the text\n", nullptr},
    {StepsOption, "--steps", "N", nullptr, &CliRequest::steps, "put back the newest N patches, not only the newest\n",
     nullptr},
};

}  // namespace

std::span<const CliCommand> CliCommands() { return kCommands; }

const CliCommand* FindCliCommand(const char* name) {
  for (const CliCommand& command : kCommands)
    if (std::strcmp(command.name, name) == 0) return &command;
  return nullptr;
}

std::span<const CliOptionRule> CliOptions() { return kOptions; }
