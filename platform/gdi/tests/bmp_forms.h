#pragma once
// Every header form, depth and compression of bitmap files we read.

#include "platform/gdi/gdi_types.h"
#include "platform/testing/bmp_writer.h"

namespace kp::gdi::testing {

// clang-format off
inline const kp::testing::BmpForm kBmpForms[] = {
    {"core 1bpp", 12, 1, BI_RGB},
    {"core 4bpp", 12, 4, BI_RGB},
    {"core 8bpp", 12, 8, BI_RGB},
    {"core 24bpp", 12, 24, BI_RGB},
    {"os2v2-16 8bpp", 16, 8, BI_RGB},
    {"os2v2-16 24bpp", 16, 24, BI_RGB},
    {"os2v2-64 4bpp", 64, 4, BI_RGB},
    {"os2v2-64 8bpp", 64, 8, BI_RGB},
    {"os2v2-64 rle8", 64, 8, BI_RLE8},
    {"info 1bpp", 40, 1, BI_RGB},
    {"info 2bpp", 40, 2, BI_RGB},
    {"info 4bpp", 40, 4, BI_RGB},
    {"info 8bpp", 40, 8, BI_RGB},
    {"info 8bpp clrUsed 20", 40, 8, BI_RGB, false, 20},
    {"info 4bpp clrUsed 5", 40, 4, BI_RGB, false, 5},
    {"info 8bpp top-down", 40, 8, BI_RGB, true},
    {"info rle8", 40, 8, BI_RLE8},
    {"info rle4", 40, 4, BI_RLE4},
    {"info 16bpp 555", 40, 16, BI_RGB},
    {"info 16bpp 565 fields", 40, 16, BI_BITFIELDS, false, 0, {0xF800, 0x07E0, 0x001F, 0}},
    {"info 16bpp 444 fields", 40, 16, BI_BITFIELDS, false, 0, {0x0F00, 0x00F0, 0x000F, 0}},
    {"info 24bpp", 40, 24, BI_RGB},
    {"info 24bpp top-down", 40, 24, BI_RGB, true},
    {"info 32bpp junk top byte", 40, 32, BI_RGB},
    {"info 32bpp fields RGB swapped", 40, 32, BI_BITFIELDS, false, 0, {0x000000FF, 0x0000FF00, 0x00FF0000, 0}},
    {"info 32bpp alphabitfields", 40, 32, BI_ALPHABITFIELDS, false, 0, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
    {"v2 16bpp 565", 52, 16, BI_BITFIELDS, false, 0, {0xF800, 0x07E0, 0x001F, 0}},
    {"v3 32bpp fields", 56, 32, BI_BITFIELDS, false, 0, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
    {"v4 8bpp", 108, 8, BI_RGB},
    {"v4 32bpp fields", 108, 32, BI_BITFIELDS, false, 0, {0x0000FF00, 0x00FF0000, 0xFF000000, 0}},
    {"v5 24bpp", 124, 24, BI_RGB},
    {"v5 32bpp top-down", 124, 32, BI_RGB, true},
    {"v5 16bpp 1-5-5-5 fields", 124, 16, BI_BITFIELDS, false, 0, {0x7C00, 0x03E0, 0x001F, 0x8000}},
};
// clang-format on

}  // namespace kp::gdi::testing
