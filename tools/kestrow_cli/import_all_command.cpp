// import-all SHAPES DIR [--no-gamma] [--dither] [--output NEW]: the folders
// that export-all writes, every set at once.

#include <filesystem>
#include <system_error>

#include "editor/shapes/set_kinds.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_image_files.h"
#include "tools/kestrow_cli/set_import.h"

int RunImportAllCommand(const CliRequest& request, const CliOutput& output) {
  std::error_code folderError;
  if (!std::filesystem::is_directory(request.folder, folderError))
    return output.Fail(request.folder + " is not a folder; nothing written");

  // Every picture of every set is loaded before the shapes file is opened.
  // A set whose folder is missing keeps its images, as do the images whose
  // files are missing, landscapes included.
  std::vector<SetSources> sets;
  int found = 0;
  for (int set = 0; set < kSetCount; ++set) {
    const std::string folder = SetFolderPath(request.folder, set);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) continue;
    SetSources& sources = sets.emplace_back();
    if (std::string failure = LoadSetSources(folder, set, sources); !failure.empty())
      return output.Fail(failure);
    found += sources.found;
  }
  if (found == 0) {
    const std::string none = request.folder + " holds no picture of any set";
    if (request.newShapesPath.empty()) {
      output.Warn(none + "; nothing written");
      return kExitSuccess;
    }
    output.Warn(none + "; " + request.newShapesPath + " is written unchanged");
  }
  return PatchSets(request, sets, ImageNaming::WithSet, output);
}
