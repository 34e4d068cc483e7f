#pragma once
// The clipboard in tests, as another program sees it: which mime types are
// offered and their bytes, and data offered as another program would offer
// it. On the offscreen platform this is Qt's clipboard of the test program;
// under an X server it is the X selection (see x_display.h for reading it
// from another client).

#include <string>
#include <utility>
#include <vector>

#include "platform/base/win_types.h"
#include "platform/testing/bmp_writer.h"

namespace kp::testing {

// The mime types the clipboard offers now, in the order offered.
std::vector<std::string> ClipboardTypes();
// The bytes offered as `type`; empty when it is not offered.
std::vector<BYTE> ClipboardBytes(const std::string& type);
// Offers each (mime type, bytes) on the clipboard, in place of what it held.
void OfferOnClipboard(const std::vector<std::pair<std::string, std::vector<BYTE>>>& data);
// Nothing on the clipboard.
void ClearClipboard();

// A PNG file of `colour`'s picture, written by Qt's own writer, so a test's
// input does not depend on the decoders it checks.
std::vector<BYTE> PngFile(int width, int height, const PictureColour& colour);
// The "file://" URI of a local path, as a file manager writes it.
std::string FileUri(const std::string& path);

}  // namespace kp::testing
