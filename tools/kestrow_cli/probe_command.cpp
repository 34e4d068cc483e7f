// probe SHAPES HEADER IMAGE [OUT.bmp] [--json]: the Image Finder's Get
// values from header, and with OUT.bmp its Load, saved as Save As saves it.

#include <cstdio>
#include <optional>

#include "editor/shapes/image_probe.h"
#include "tools/kestrow_cli/bitmap_file_output.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/json_output.h"

namespace {

// The values under the dialog's own labels, in the dialog's order.
void PrintProbeValues(const CliRequest& request, const ImageProbeValues& values, const CliOutput& output) {
  output.out << "Header #: " << request.headerNumber << '\n'
             << "image count: " << values.imageCount << '\n'
             << "image number: " << values.imageNumber << '\n'
             << "Base Offset: " << values.baseOffset << '\n'
             << "res header offset from base: " << values.resHeaderOffset << '\n'
             << "image header offset from base: " << values.imageHeaderOffset << '\n'
             << "image offset from base: " << values.imageOffset << '\n'
             << "X Size: " << values.xSize << '\n'
             << "Y Size: " << values.ySize << '\n';
}

nlohmann::json ProbeValuesObject(const CliRequest& request, const ImageProbeValues& values) {
  return {{"header", request.headerNumber},
          {"image_count", values.imageCount},
          {"image_number", values.imageNumber},
          {"base_offset", values.baseOffset},
          {"res_header_offset", values.resHeaderOffset},
          {"image_header_offset", values.imageHeaderOffset},
          {"image_offset", values.imageOffset},
          {"x_size", values.xSize},
          {"y_size", values.ySize}};
}

// Load reads the image the values describe: the image number as pulled
// into the block, X Size columns of Y Size bytes. Saves it to OUT.bmp and
// returns its size, or prints why not and returns nothing.
std::optional<ImageProbeSize> SaveProbedImage(CFile& file, ULONGLONG length, const CliRequest& request,
                                              const ImageProbeValues& values, const CliOutput& output) {
  const ImageProbeSize size = ChooseImageProbeSize(values.xSize, values.ySize, length);
  if (!size.fits) {
    char message[160];
    std::snprintf(message, sizeof message, kImageProbeSizeRefusedFormat, values.xSize, values.ySize);
    output.Fail(message);
    return std::nullopt;
  }
  ProbedImage image;
  try {
    image = ReadProbedImage(file, request.headerNumber, values.imageNumber, size.width, size.height);
  } catch (const CFileException& e) {
    output.Fail(e.ErrorMessage().str());
    return std::nullopt;
  }
  file.Close();
  if (std::string error = WritePixelsAsBitmapFile(request.outputPath, image.pixels, size.width, size.height);
      !error.empty()) {
    output.Fail(error);
    return std::nullopt;
  }
  return size;
}

}  // namespace

int RunProbeCommand(const CliRequest& request, const CliOutput& output) {
  CFile file;
  ULONGLONG length = 0;
  if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::ImageFinder, output, &length))
    return kExitFailed;
  const ImageProbeValues values = ReadImageProbeValues(file, request.headerNumber, request.imageNumber);
  if (!request.json) PrintProbeValues(request, values, output);
  if (request.outputPath.empty()) {
    if (request.json) PrintJson(ProbeValuesObject(request, values), output);
    return kExitSuccess;
  }

  // With --json the object comes once the picture is saved or has failed,
  // so that it can say what was written.
  const std::optional<ImageProbeSize> saved = SaveProbedImage(file, length, request, values, output);
  if (request.json) {
    nlohmann::json object = ProbeValuesObject(request, values);
    if (saved)
      object["wrote"] = {{"path", request.outputPath}, {"width", saved->width}, {"height", saved->height}};
    PrintJson(object, output);
  } else if (saved) {
    output.out << "wrote " << request.outputPath << " (" << saved->width << " x " << saved->height << ")\n";
  }
  return saved ? kExitSuccess : kExitFailed;
}
