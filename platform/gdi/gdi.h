#pragma once
// The GDI stand-in: everything drawn in the system goes through these calls
// onto 32-bit pixel stores. Windows calls are at global scope with their
// Windows signatures; our own additions are in namespace kp::gdi.

#include "platform/gdi/bitmap.h"
#include "platform/gdi/cdc.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib_bitmap.h"
#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/get_dibits.h"
#include "platform/gdi/handle_table.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/lines.h"
#include "platform/gdi/load_image.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/paths.h"
#include "platform/gdi/pens_brushes.h"
#include "platform/gdi/pixels.h"
#include "platform/gdi/scoped_gdi.h"
#include "platform/gdi/stretch_blt.h"
#include "platform/gdi/stretched_rows.h"
#include "platform/gdi/surface.h"
