// import SHAPES SET DIR [--no-gamma] [--dither] [--output NEW]: the pictures
// of a folder written into a set, as Patch writes the slots' bitmaps.

#include <filesystem>
#include <system_error>

#include "editor/shapes/set_kinds.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_image_files.h"
#include "tools/kestrow_cli/set_import.h"

int RunImportCommand(const CliRequest& request, const CliOutput& output) {
  const int set = request.setIndex;
  std::error_code folderError;
  if (!std::filesystem::is_directory(request.folder, folderError))
    return output.Fail(request.folder + " is not a folder; nothing written");

  std::vector<SetSources> sets(1);
  if (std::string error = LoadSetSources(request.folder, set, sets[0]); !error.empty()) return output.Fail(error);
  if (IsLandscapeSet(set) && sets[0].found == 0)
    return output.Fail("Failed to write landscape texture: " + sets[0].paths[0] + " is missing; nothing written");
  if (sets[0].found == 0) {
    const std::string none = request.folder + " holds none of " + SetImageFileName(set, 0) + " to " +
                             SetImageFileName(set, KindOfSet(set).imageCount - 1);
    // In place there is nothing to do; NEW is still written, as the copy of
    // SHAPES that patching in place would leave.
    if (request.newShapesPath.empty()) {
      output.Warn(none + "; nothing written");
      return kExitSuccess;
    }
    output.Warn(none + "; " + request.newShapesPath + " is written unchanged");
  }
  return PatchSets(request, sets, ImageNaming::InSet, output);
}
