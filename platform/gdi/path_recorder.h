#pragma once
// Recording of path figures by the line calls between BeginPath and EndPath.
// Private to platform/gdi.

#include "platform/gdi/gdi_objects.h"

namespace kp::gdi::detail {

inline bool IsRecording(const DcObject& dc) { return dc.path.stage == PathState::Stage::Recording; }

// Starts a new figure at `p` (an unfinished one-point figure is replaced).
void PathMoveTo(DcObject& dc, POINT p);
// Adds the segment from -> to, starting a figure at `from` if none is open.
void PathLineTo(DcObject& dc, POINT from, POINT to);

}  // namespace kp::gdi::detail
