// export SHAPES SET DIR: the set's images, decoded as Load Set shows them,
// saved as a slot's Save As saves them.

#include <filesystem>
#include <system_error>
#include <vector>

#include "editor/shapes/set_images.h"
#include "tools/kestrow_cli/bitmap_file_output.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_image_files.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;
};

// DIR is made when it is missing; anything else in its place is an error.
std::string PrepareFolder(const std::string& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return {};
  if (std::filesystem::exists(folder, error)) return folder + " is not a folder";
  if (!std::filesystem::create_directory(folder, error))
    return "Unable to make the folder " + folder + " (" + error.message() + ")";
  return {};
}

}  // namespace

int RunExportCommand(const CliRequest& request, const CliOutput& output) {
  // The whole set is read, and the shapes file closed, before any picture
  // file is written: a damaged header leaves no partial export behind.
  std::vector<Picture> pictures;
  {
    CFile file;
    if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::loadSet, output)) return kExitFailed;
    ReadSetImages(file, request.setIndex, request.noGammaCorrection, [&](const SetImagePixels& picture) {
      const std::size_t count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
      pictures.push_back(Picture{picture.width, picture.height, {picture.pixels, picture.pixels + count}});
    });
    file.Close();
  }

  if (std::string error = PrepareFolder(request.folder); !error.empty()) return output.Fail(error);
  for (std::size_t image = 0; image < pictures.size(); ++image) {
    const Picture& picture = pictures[image];
    const std::string path = SetImageFilePath(request.folder, request.setIndex, static_cast<int>(image));
    if (std::string error = WritePixelsAsBitmapFile(path, picture.pixels, picture.width, picture.height);
        !error.empty())
      return output.Fail(error);
    output.out << "wrote " << path << '\n';
  }
  return kExitSuccess;
}
