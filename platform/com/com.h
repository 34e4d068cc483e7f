#pragma once
// Everything a COM client, server or module uses, in one include: the
// interfaces, VARIANT and BSTR, the runtime, type libraries, streams,
// property bags and the connection point helper.

#include "platform/com/bstr.h"
#include "platform/com/class_factory.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/connection_point.h"
#include "platform/com/connection_points.h"
#include "platform/com/dispatch.h"
#include "platform/com/memory_stream.h"
#include "platform/com/persist.h"
#include "platform/com/stream.h"
#include "platform/com/type_info.h"
#include "platform/com/type_library.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"
