// palette SHAPES SET OUT.bmp: the picture of Generate Palette Bitmap, saved
// as a slot's Save As saves it.

#include <memory>

#include "editor/import/palette_picture.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "tools/kestrow_cli/bitmap_file_output.h"
#include "tools/kestrow_cli/cli_commands.h"

int RunPaletteCommand(const CliRequest& request, const CliOutput& output) {
  SetPalette palette{};
  LONG colourCount = 0;
  {
    CFile file;
    if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::GeneratePaletteBitmap, output))
      return kExitFailed;
    colourCount = ReadSetPalette(file, SetHeaderNumbers.at(static_cast<std::size_t>(request.setIndex)), palette,
                                 request.noGammaCorrection);
    file.Close();
  }

  auto picture = std::make_unique<PalettePicture>();
  FillPalettePicture(*picture, palette, colourCount);
  if (std::string error =
          WritePixelsAsBitmapFile(request.outputPath, *picture, kPalettePictureSize, kPalettePictureSize);
      !error.empty())
    return output.Fail(error);
  output.out << "wrote " << request.outputPath << " (" << colourCount << " colours)\n";
  return kExitSuccess;
}
