#include "platform/com/com_runtime_state.h"

namespace kp::com::detail {
namespace {
// COM is initialised per thread; the count and the kind of apartment the
// first call chose live with the thread.
thread_local unsigned t_initCount = 0;
thread_local DWORD t_apartment = COINIT_APARTMENTTHREADED;
}  // namespace

bool IsInitialized() { return t_initCount > 0; }
}  // namespace kp::com::detail

HRESULT CoInitialize(LPVOID) { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(LPVOID, DWORD dwCoInit) {
  using kp::com::detail::t_apartment;
  using kp::com::detail::t_initCount;
  const DWORD apartment = dwCoInit & COINIT_APARTMENTTHREADED;
  if (t_initCount > 0 && apartment != t_apartment) return RPC_E_CHANGED_MODE;
  t_apartment = apartment;
  return t_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  using kp::com::detail::t_initCount;
  if (t_initCount == 0) return;
  if (--t_initCount == 0) kp::com::detail::RevokeAllClassObjects();
}

HRESULT OleInitialize(LPVOID) { return CoInitialize(nullptr); }

void OleUninitialize() { CoUninitialize(); }
