#include "tools/make_art/art_resources.h"

#include "tools/make_art/about_frames.h"
#include "tools/make_art/packed_dib.h"
#include "tools/make_art/program_icon.h"
#include "tools/make_art/toolbox_bitmap.h"
#include "tools/make_art/vga_palette.h"

namespace make_art {

std::vector<NamedBytes> EditorArtResources() {
  std::vector<NamedBytes> out;
  const AboutFrames about = MakeAboutFrames();
  for (int frame = 0; frame < kAboutFrameCount; ++frame)
    out.push_back({"kAboutFrame" + std::to_string(kAboutFrameResourceIds[frame]),
                   MakeRle8Dib(about.frames[frame], about.palette)});
  for (const int size : {32, 16}) {
    const PixelArt icon = ProgramIconArt(size);
    out.push_back({"kProgramIcon" + std::to_string(size), MakeIconImage4(icon.image, icon.transparent, VgaPalette)});
  }
  return out;
}

std::vector<NamedBytes> ControlArtResources() {
  return {{"kToolboxBitmap", MakeDib4(ToolboxArt().image, VgaPalette)}};
}

}  // namespace make_art
