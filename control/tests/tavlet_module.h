#pragma once
// The built Tavlet.ocx, loaded the way COM loads it, for tests that look at
// what the module carries.

#include "platform/base/handles.h"

namespace tavlet_test {
// The module's instance handle (its load address); null when it cannot be
// loaded.
HINSTANCE LoadTavletModule();
}  // namespace tavlet_test
