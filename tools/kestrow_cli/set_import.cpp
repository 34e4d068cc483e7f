#include "tools/kestrow_cli/set_import.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "editor/import/set_patch.h"
#include "editor/shapes/file_position.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/slot_layout.h"
#include "platform/gdi/load_image.h"
#include "tools/kestrow_cli/patch_target.h"
#include "tools/kestrow_cli/quiet_standard_error.h"
#include "tools/kestrow_cli/set_image_files.h"

namespace {

constexpr char kLandscapeFailedMessage[] = "Failed to write landscape texture";
constexpr char kNothingWritten[] = "; nothing written";

std::string SetName(int setIndex) { return kSetListStrings.at(static_cast<std::size_t>(setIndex)); }

std::string ImageName(int setIndex, int image, ImageNaming naming) {
  if (IsLandscapeSet(setIndex)) return naming == ImageNaming::WithSet ? SetName(setIndex) : "landscape";
  char name[48];
  std::snprintf(name, sizeof name, "texture #%d <column %d, row %d>", image, SlotColumn(image), SlotRow(image));
  return naming == ImageNaming::WithSet ? SetName(setIndex) + " " + name : name;
}

// The editor's message for an image that could not be converted, naming a
// texture by its place in the grid.
std::string ConversionFailedMessage(int setIndex, int image, ImageNaming naming) {
  std::string message = kLandscapeFailedMessage;
  if (!IsLandscapeSet(setIndex)) {
    char text[80];
    std::snprintf(text, sizeof text, "Failed to write texture #%d <column %d, row %d>", image, SlotColumn(image),
                  SlotRow(image));
    message = text;
  }
  return naming == ImageNaming::WithSet ? SetName(setIndex) + ": " + message : message;
}

// Locates every image that has a picture and checks that its pixel bytes
// lie inside the file. Returns the line for the first that does not.
std::string CheckImagesFitFile(CFile& file, const SetSources& sources, ImageNaming naming) {
  const SetKind& kind = KindOfSet(sources.setIndex);
  const int headerNumber = SetHeaderNumbers.at(static_cast<std::size_t>(sources.setIndex));
  int image = 0;
  try {
    for (; image < kind.imageCount; ++image) {
      if (!sources.bitmaps[static_cast<std::size_t>(image)]) continue;
      RequireInsideFile(file, LocateImagePixels(file, headerNumber, image), kind.ImageBytes());
    }
  } catch (const CFileException& e) {
    return "The headers of " + ImageName(sources.setIndex, image, naming) +
           " do not fit the file: " + e.ErrorMessage().str() + kNothingWritten;
  }
  return {};
}

// Why a converted set cannot be written, or an empty string.
std::string CheckConverted(const ConvertedSet& converted, ImageNaming naming) {
  if (!converted.sourceDcCreated)
    return std::string("Unable to create source device context while converting bitmap") + kNothingWritten;
  for (const ConvertedImage& image : converted.images) {
    const int index = image.report.image;
    if (image.report.outcome == PatchImageOutcome::ConversionFailed)
      return ConversionFailedMessage(converted.setIndex, index, naming) + kNothingWritten;
    if (image.report.outcome == PatchImageOutcome::OutsideFile)
      return "The headers of " + ImageName(converted.setIndex, index, naming) + " do not fit the file" +
             kNothingWritten;
  }
  return {};
}

}  // namespace

std::string LoadSetSources(const std::string& folder, int setIndex, SetSources& sources) {
  const int imageCount = KindOfSet(setIndex).imageCount;
  sources.setIndex = setIndex;
  sources.paths.assign(static_cast<std::size_t>(imageCount), {});
  sources.bitmaps.clear();
  sources.bitmaps.resize(static_cast<std::size_t>(imageCount));
  sources.found = 0;
  for (int image = 0; image < imageCount; ++image) {
    const auto i = static_cast<std::size_t>(image);
    sources.paths[i] = SetImageFilePath(folder, setIndex, image);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(sources.paths[i], error))) continue;
    {
      // Decoders print their own diagnostics; the line below says it all.
      const QuietStandardError quiet;
      sources.bitmaps[i].reset(static_cast<HBITMAP>(
          ::LoadImage(nullptr, sources.paths[i].c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    }
    if (!sources.bitmaps[i]) return "Unable to read " + sources.paths[i] + " as a picture" + kNothingWritten;
    ++sources.found;
  }
  return {};
}

int PatchSets(const CliRequest& request, const std::vector<SetSources>& sets, ImageNaming naming,
              const CliOutput& output) {
  PatchTarget target(request);
  CFile& shapes = target.Shapes();
  const ColourReduction reduction = request.dither ? ColourReduction::ErrorDiffusion : ColourReduction::NearestColour;

  // Every image of every set located and converted first.
  struct Pending {
    const SetSources* sources;
    ConvertedSet converted;
  };
  std::vector<Pending> pending;
  try {
    // Copying SHAPES into NEW's temporary file may fail part-way too.
    if (!target.Open(output)) return kExitFailed;
    for (const SetSources& sources : sets) {
      if (sources.found == 0) continue;
      if (std::string error = CheckImagesFitFile(shapes, sources, naming); !error.empty()) return output.Fail(error);
      pending.push_back({&sources, {}});
    }
    for (Pending& set : pending) {
      const SetSources& sources = *set.sources;
      set.converted = ConvertSetImages(
          shapes, sources.setIndex, request.noGammaCorrection ? TRUE : FALSE,
          [&](int image) { return sources.bitmaps[static_cast<std::size_t>(image)].get(); }, reduction);
      if (std::string error = CheckConverted(set.converted, naming); !error.empty()) return output.Fail(error);
    }
  } catch (const CFileException& e) {
    return output.Fail(e.ErrorMessage().str() + kNothingWritten);
  }

  // The lines of the images written, printed once they are: in place when
  // the patch has committed, with --output once the file replaces NEW.
  std::string lines;
  for (const Pending& set : pending)
    for (const ConvertedImage& image : set.converted.images)
      if (image.report.outcome == PatchImageOutcome::Written)
        lines += "wrote " + ImageName(set.sources->setIndex, image.report.image, naming) + " from " +
                 set.sources->paths[static_cast<std::size_t>(image.report.image)] + '\n';
  try {
    if (target.WritesNewFile()) {
      for (const Pending& set : pending) WriteConvertedSet(target.Destination(), set.converted);
    } else {
      // Every set in one transaction: all of them are written, or none.
      std::vector<FileRange> writes;
      PatchSubject subject;
      for (const Pending& set : pending) AddSetWrites(set.converted, writes, subject);
      const PatchCommitted committed = CommitPatch(target.Shapes(), std::move(writes), subject);
      if (!committed.historyProblem.empty())
        output.Warn("the patch is not kept in the history, so undo cannot reach it: " + committed.historyProblem);
    }
    target.Commit();
  } catch (const CFileException& e) {
    // NEW is left as it was; in place, the message of PatchFailure says
    // what became of SHAPES.
    return output.Fail(e.ErrorMessage().str() + (target.WritesNewFile() ? kNothingWritten : ""));
  }
  output.out << lines;
  return kExitSuccess;
}
