#pragma once
// Every picture the generator makes, as the resource bytes the two art
// libraries carry, each under the name its library declares.

#include <cstdint>
#include <string>
#include <vector>

namespace make_art {

struct NamedBytes {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

// The About box frames, named kAboutFrame<resource number>, and the program
// icon's images, kProgramIcon32 and kProgramIcon16.
std::vector<NamedBytes> EditorArtResources();

// The toolbox bitmap, kToolboxBitmap.
std::vector<NamedBytes> ControlArtResources();

// The resource number of each About box frame, frames 0 to 6.
inline constexpr unsigned kAboutFrameResourceIds[] = {243, 238, 239, 240, 241, 242, 237};

}  // namespace make_art
