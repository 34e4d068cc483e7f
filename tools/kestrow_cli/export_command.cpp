// export SHAPES SET DIR: the set's images, decoded as Load Set shows them,
// saved as a slot's Save As saves them.

#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_export.h"

int RunExportCommand(const CliRequest& request, const CliOutput& output) {
  std::vector<SetPicture> pictures;
  {
    CFile file;
    if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::LoadSet, output)) return kExitFailed;
    pictures = ReadSetPictures(file, request.setIndex, request.noGammaCorrection);
    file.Close();
  }
  return WriteSetPictures(request.folder, request.setIndex, pictures, output);
}
