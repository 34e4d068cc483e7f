// export-all SHAPES DIR: every set's images, each set in a folder of its
// own, as export writes one set.

#include <array>

#include "editor/shapes/set_kinds.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_export.h"
#include "tools/kestrow_cli/set_image_files.h"

int RunExportAllCommand(const CliRequest& request, const CliOutput& output) {
  std::array<std::vector<SetPicture>, kSetCount> sets;
  {
    CFile file;
    if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::LoadSet, output)) return kExitFailed;
    for (int set = 0; set < kSetCount; ++set)
      sets[static_cast<std::size_t>(set)] = ReadSetPictures(file, set, request.noGammaCorrection);
    file.Close();
  }

  if (std::string error = PrepareOutputFolder(request.folder); !error.empty()) return output.Fail(error);
  for (int set = 0; set < kSetCount; ++set) {
    const int status = WriteSetPictures(SetFolderPath(request.folder, set), set,
                                        sets[static_cast<std::size_t>(set)], output);
    if (status != kExitSuccess) return status;
  }
  return kExitSuccess;
}
