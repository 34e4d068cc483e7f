#include "tools/kestrow_cli/set_export.h"

#include <filesystem>
#include <system_error>

#include "editor/shapes/set_images.h"
#include "tools/kestrow_cli/bitmap_file_output.h"
#include "tools/kestrow_cli/set_image_files.h"

std::string PrepareOutputFolder(const std::string& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return {};
  if (std::filesystem::exists(folder, error)) return folder + " is not a folder";
  if (!std::filesystem::create_directory(folder, error))
    return "Unable to make the folder " + folder + " (" + error.message() + ")";
  return {};
}

std::vector<SetPicture> ReadSetPictures(CFile& file, int setIndex, bool noGammaCorrection) {
  std::vector<SetPicture> pictures;
  ReadSetImages(file, setIndex, noGammaCorrection ? TRUE : FALSE, [&](const SetImagePixels& picture) {
    const std::size_t count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    pictures.push_back(SetPicture{picture.width, picture.height, {picture.pixels, picture.pixels + count}});
  });
  return pictures;
}

int WriteSetPictures(const std::string& folder, int setIndex, const std::vector<SetPicture>& pictures,
                     const CliOutput& output) {
  if (std::string error = PrepareOutputFolder(folder); !error.empty()) return output.Fail(error);
  for (std::size_t image = 0; image < pictures.size(); ++image) {
    const SetPicture& picture = pictures[image];
    const std::string path = SetImageFilePath(folder, setIndex, static_cast<int>(image));
    if (std::string error = WritePixelsAsBitmapFile(path, picture.pixels, picture.width, picture.height);
        !error.empty())
      return output.Fail(error);
    output.out << "wrote " << path << '\n';
  }
  return kExitSuccess;
}
