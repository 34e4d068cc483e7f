#pragma once
// Bitmap resources of the test program beside the About box's own: small
// packed DIBs, well-formed and not, for the resource DIB loader.

#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "platform/resources/resource_table.h"

namespace ui_tests {

struct TestBitmap {
  UINT id;
  std::string what;
  std::vector<BYTE> bytes;
  bool loads;    // LoadResourceDib makes a bitmap of it
  int colours;   // the colour-table entries it reports
  bool palette;  // it comes with a palette
};

// The test program's resource table, registered as its module's resources.
const kp::resources::ResourceTable& TestResources();

// Ids 901 and up.
const std::vector<TestBitmap>& TestBitmaps();

// The 16 colours of the 8-bit DIB with biClrUsed 16 (id 901) as
// 0x00RRGGBB, and its 4 x 2 pixels' indices, top row first.
DWORD SixteenColour(int index);
inline constexpr int kSixteenColourIndices[2][4] = {{15, 0, 7, 3}, {1, 2, 14, 9}};
inline constexpr UINT kSixteenColourDib = 901;

}  // namespace ui_tests
