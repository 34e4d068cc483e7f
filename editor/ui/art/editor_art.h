#pragma once
// The editor's pictures, drawn by tools/make_art when the program is built:
// the seven frames of the About box animation and the program icon. Each is
// the bytes of a resource in the form the module's resource table holds it.
// The bytes are constant data, usable at any time, even while other static
// objects are being made.

#include <span>

#include "platform/base/win_types.h"

// The About box's bitmap resource numbers in the order the frames play.
inline constexpr UINT kAboutFrameResourceIds[7] = {243, 238, 239, 240, 241, 242, 237};

// The bitmap resource `resourceId` (one of kAboutFrameResourceIds) as a
// packed DIB: BITMAPINFOHEADER (40 bytes), 256 colour entries, then 256 x 128
// pixels at 8 bits per pixel compressed with BI_RLE8 (biSizeImage is the
// compressed size, biClrUsed 0). Every frame has the same colour table.
// Empty for any other number.
std::span<const BYTE> AboutFrameDib(UINT resourceId);

// One image of the program's icon (icon resource 128) as RT_ICON stores it:
// a packed DIB of 16 colours (4 bits per pixel, 16 colour entries) whose
// biHeight is twice `size`, the colour bits followed by the AND mask.
// `size` is 32 or 16; empty for any other size.
std::span<const BYTE> ProgramIconImage(int size);
