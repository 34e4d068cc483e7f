#include "platform/com/com_runtime_state.h"

namespace kp::com::detail {
namespace {
// COM is initialised per thread; the count lives with the thread.
thread_local unsigned t_initCount = 0;
}  // namespace

bool IsInitialized() { return t_initCount > 0; }
}  // namespace kp::com::detail

HRESULT CoInitialize(LPVOID) { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(LPVOID, DWORD) { return kp::com::detail::t_initCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  using kp::com::detail::t_initCount;
  if (t_initCount == 0) return;
  if (--t_initCount == 0) kp::com::detail::RevokeAllClassObjects();
}

HRESULT OleInitialize(LPVOID) { return CoInitialize(nullptr); }

void OleUninitialize() { CoUninitialize(); }
