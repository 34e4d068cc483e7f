#pragma once
// What import and import-all share: the picture files of a set loaded as a
// drop loads them, and the patch of one or more sets, in which every input
// is settled before the first byte is written. Each picture is loaded, each
// image that will be written is located and its bytes checked to lie
// inside the file, and every picture of every set is converted; only then
// are the images written, set after set.

#include <string>
#include <vector>

#include "editor/import/picture_reduction.h"
#include "platform/gdi/scoped_gdi.h"
#include "tools/kestrow_cli/cli_output.h"
#include "tools/kestrow_cli/cli_request.h"

// The pictures of one set.
struct SetSources {
  int setIndex = 0;
  std::vector<std::string> paths;              // one per image of the set
  std::vector<kp::gdi::ScopedBitmap> bitmaps;  // null: no file, the image stays as it is
  int found = 0;                               // the bitmaps that are not null
};

// Loads the files of `folder` that export names for set `setIndex`. Only a
// file that is not there at all leaves its image as it is; for one that is
// there but cannot be read as a picture, returns the line that says so.
std::string LoadSetSources(const std::string& folder, int setIndex, SetSources& sources);

// How a patch names its images in what it prints.
enum class ImageNaming {
  InSet,    // "texture #4 <column 5, row 1>", "landscape": import, which names one set
  WithSet,  // "Texture Set # 1 texture #4 <column 5, row 1>", "Landscape # 1": import-all
};

// Writes the pictures of `sets` into the shapes file of `request`, in place
// or to its --output file (PatchTarget), converted by plain nearest colour
// or, with --dither, by error diffusion. Prints one line per image written.
// A picture that cannot be converted, or headers that put an image outside
// the file, stop it with nothing written. In place, every set is written as
// one transaction kept in the patch history: a write that fails leaves the
// file as it was, and its failure line says so. Returns the exit status.
int PatchSets(const CliRequest& request, const std::vector<SetSources>& sets, ImageNaming naming,
              const CliOutput& output);
