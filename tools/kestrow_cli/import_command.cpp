// import SHAPES SET DIR: the pictures of a folder written into a set, as
// Patch writes the slots' bitmaps.
//
// Every input is settled before the first byte goes into the shapes file:
// each picture file is loaded (LoadImage, as a drop loads it), and each
// image that will be written is located and its bytes checked to lie
// inside the file. PatchSetImages then converts and writes image by image.

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "editor/import/set_patch.h"
#include "editor/shapes/file_position.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/slot_layout.h"
#include "platform/gdi/load_image.h"
#include "platform/gdi/scoped_gdi.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/quiet_standard_error.h"
#include "tools/kestrow_cli/set_image_files.h"

namespace {

constexpr char kLandscapeFailedMessage[] = "Failed to write landscape texture";

// The editor's message for an image that could not be converted, naming
// the slot by its place in the grid.
std::string TextureFailedMessage(int slot) {
  char message[80];
  std::snprintf(message, sizeof message, "Failed to write texture #%d <column %d, row %d>", slot, SlotColumn(slot),
                SlotRow(slot));
  return message;
}

std::string ImageName(int setIndex, int image) {
  if (IsLandscapeSet(setIndex)) return "landscape";
  char name[48];
  std::snprintf(name, sizeof name, "texture #%d <column %d, row %d>", image, SlotColumn(image), SlotRow(image));
  return name;
}

struct Source {
  std::string path;
  kp::gdi::ScopedBitmap bitmap;  // null: no file, the image stays as it is
};

}  // namespace

int RunImportCommand(const CliRequest& request, const CliOutput& output) {
  const int set = request.setIndex;
  const SetKind& kind = KindOfSet(set);
  const int headerNumber = SetHeaderNumbers.at(static_cast<std::size_t>(set));

  std::error_code folderError;
  if (!std::filesystem::is_directory(request.folder, folderError))
    return output.Fail(request.folder + " is not a folder; nothing written");

  std::vector<Source> sources(static_cast<std::size_t>(kind.imageCount));
  int found = 0;
  for (int image = 0; image < kind.imageCount; ++image) {
    Source& source = sources[static_cast<std::size_t>(image)];
    source.path = SetImageFilePath(request.folder, set, image);
    std::error_code error;
    // Only a file that is not there at all counts as an empty slot; one
    // that is there but cannot be read stops the command.
    if (!std::filesystem::exists(std::filesystem::symlink_status(source.path, error))) continue;
    {
      const QuietStandardError quiet;
      source.bitmap.reset(static_cast<HBITMAP>(
          ::LoadImage(nullptr, source.path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    }
    if (!source.bitmap) return output.Fail("Unable to read " + source.path + " as a picture; nothing written");
    ++found;
  }
  if (IsLandscapeSet(set) && found == 0)
    return output.Fail(std::string(kLandscapeFailedMessage) + ": " + sources[0].path + " is missing; nothing written");
  if (found == 0) {
    output.Warn(request.folder + " holds none of " + SetImageFileName(set, 0) + " to " +
                SetImageFileName(set, kind.imageCount - 1) + "; nothing written");
    return kExitSuccess;
  }

  CFile file;
  if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::patch, output)) return kExitFailed;
  int located = 0;
  try {
    for (; located < kind.imageCount; ++located) {
      if (!sources[static_cast<std::size_t>(located)].bitmap) continue;
      RequireInsideFile(file, LocateImagePixels(file, headerNumber, located), kind.ImageBytes());
    }
  } catch (const CFileException& e) {
    return output.Fail("The headers of " + ImageName(set, located) + " do not fit the file: " +
                       e.ErrorMessage().str() + "; nothing written");
  }

  int written = 0;
  int status = kExitSuccess;
  const auto report = [&](const PatchImageReport& done) {
    const Source& source = sources[static_cast<std::size_t>(done.image)];
    if (done.outcome == PatchImageOutcome::written) {
      ++written;
      output.out << "wrote " << ImageName(set, done.image) << " from " << source.path << '\n';
    } else if (done.outcome != PatchImageOutcome::skippedEmpty) {
      status = output.Fail(IsLandscapeSet(set) ? std::string(kLandscapeFailedMessage)
                                               : TextureFailedMessage(done.image));
    }
  };
  try {
    const SetPatchResult result = PatchSetImages(
        file, set, request.noGammaCorrection,
        [&](int image) { return sources[static_cast<std::size_t>(image)].bitmap.get(); }, report);
    if (!result.sourceDcCreated)
      return output.Fail("Unable to create source device context while converting bitmap; nothing written");
    file.Close();
  } catch (const CFileException& e) {
    // Images written before a failed write stay written, as in the editor.
    return output.Fail(e.ErrorMessage().str() + (written == 0 ? "; nothing written"
                                                              : "; " + std::to_string(written) +
                                                                    " images were written before it"));
  }
  return status;
}
