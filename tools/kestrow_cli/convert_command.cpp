// convert SHAPES SET IN OUT.bmp [--no-gamma] [--dither]: what import would
// write into the set for the picture IN, shown as Load Set would show it
// and saved as a slot's Save As saves it. SHAPES is only read.

#include <vector>

#include "editor/import/picture_reduction.h"
#include "editor/shapes/pixel_expansion.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/load_image.h"
#include "tools/kestrow_cli/bitmap_file_output.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/quiet_standard_error.h"

int RunConvertCommand(const CliRequest& request, const CliOutput& output) {
  const SetKind& kind = KindOfSet(request.setIndex);

  // The picture is loaded as import loads it.
  kp::gdi::ScopedBitmap picture;
  {
    const QuietStandardError quiet;
    picture.reset(static_cast<HBITMAP>(::LoadImage(nullptr, request.inputPath.c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  }
  if (!picture) return output.Fail("Unable to read " + request.inputPath + " as a picture");

  // Entries the colour table does not fill show black, as in Load Set.
  SetPalette palette{};
  LONG colourCount = 0;
  {
    CFile file;
    if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::LoadSet, output)) return kExitFailed;
    colourCount = ReadSetPalette(file, SetHeaderNumbers.at(static_cast<std::size_t>(request.setIndex)),
                                 palette, request.noGammaCorrection ? TRUE : FALSE);
    file.Close();
  }

  std::vector<BYTE> indices(static_cast<std::size_t>(kind.ImageBytes()));
  {
    kp::gdi::ScopedMemoryDC sourceDc(nullptr);
    if (!sourceDc) return output.Fail("Unable to create source device context while converting bitmap");
    PictureReducer reducer(palette, colourCount,
                           request.dither ? ColourReduction::ErrorDiffusion : ColourReduction::NearestColour);
    if (!reducer.Reduce(indices.data(), kind, sourceDc.get(), picture.get()))
      return output.Fail("Unable to convert " + request.inputPath + " to the set palette");
  }

  std::vector<DWORD> pixels(indices.size());
  if (kind.order == PixelOrder::Columns)
    ExpandColumnOrder(pixels.data(), indices.data(), palette, kind.width, kind.height);
  else
    ExpandRowOrder(pixels.data(), indices.data(), palette, kind.width, kind.height);
  if (std::string error = WritePixelsAsBitmapFile(request.outputPath, pixels, kind.width, kind.height);
      !error.empty())
    return output.Fail(error);
  output.out << "wrote " << request.outputPath << " (" << kind.width << " x " << kind.height << ")\n";
  return kExitSuccess;
}
