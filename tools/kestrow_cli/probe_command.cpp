// probe SHAPES HEADER IMAGE [OUT.bmp]: the Image Finder's Get values from
// header, and with OUT.bmp its Load, saved as Save As saves it.

#include <cstdio>

#include "editor/shapes/image_probe.h"
#include "tools/kestrow_cli/bitmap_file_output.h"
#include "tools/kestrow_cli/cli_commands.h"

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

}  // namespace

int RunProbeCommand(const CliRequest& request, const CliOutput& output) {
  CFile file;
  ULONGLONG length = 0;
  if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::imageFinder, output, &length))
    return kExitFailed;
  const ImageProbeValues values = ReadImageProbeValues(file, request.headerNumber, request.imageNumber);
  PrintProbeValues(request, values, output);
  if (request.outputPath.empty()) return kExitSuccess;

  // Load reads the image the values describe: the image number as pulled
  // into the block, X Size columns of Y Size bytes.
  const ImageProbeSize size = ChooseImageProbeSize(values.xSize, values.ySize, length);
  if (!size.fits) {
    char message[160];
    std::snprintf(message, sizeof message, kImageProbeSizeRefusedFormat, values.xSize, values.ySize);
    return output.Fail(message);
  }
  const ProbedImage image = ReadProbedImage(file, request.headerNumber, values.imageNumber, size.width, size.height);
  file.Close();
  if (std::string error = WritePixelsAsBitmapFile(request.outputPath, image.pixels, size.width, size.height);
      !error.empty())
    return output.Fail(error);
  output.out << "wrote " << request.outputPath << " (" << size.width << " x " << size.height << ")\n";
  return kExitSuccess;
}
