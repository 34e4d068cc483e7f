#pragma once
// What tests ask of a control hosted in a dialog, through its wrapper
// window: one of the control's interfaces, and the stream the control saves
// of itself, which its creation record is compared with.

#include <gtest/gtest.h>

#include <vector>

#include "platform/afx/wnd.h"
#include "platform/com/com_ptr.h"
#include "platform/com/memory_stream.h"
#include "platform/com/persist.h"

namespace kp::testing {

// The control's interface `iid`; empty when it has none.
template <typename I>
kp::com::ComPtr<I> ControlInterface(CWnd& wrapper, REFIID iid) {
  kp::com::ComPtr<I> result;
  if (IUnknown* control = wrapper.GetControlUnknown()) control->QueryInterface(iid, result.put_void());
  return result;
}

// What IPersistStreamInit::Save writes; empty, with a failure, when the
// control cannot save itself.
inline std::vector<BYTE> SavedStream(CWnd& wrapper) {
  kp::com::ComPtr<IPersistStreamInit> persist = ControlInterface<IPersistStreamInit>(wrapper, IID_IPersistStreamInit);
  EXPECT_TRUE(persist);
  if (!persist) return {};
  kp::com::ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  EXPECT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  return kp::com::ReadWholeStream(stream.get());
}

}  // namespace kp::testing
