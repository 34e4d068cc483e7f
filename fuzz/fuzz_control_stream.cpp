// Fuzz target for a control's persisted stream: loaded through the stream
// form of property exchange with the properties of a control (version,
// extents, stock-property mask, one BOOL), then saved back. A load either
// takes every field in order or fails and leaves every default; a load that
// succeeds saves back the bytes it read, but for the BOOL's upper bits.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/afx/prop_persistence.h"
#include "platform/com/com_ptr.h"
#include "platform/com/memory_stream.h"

namespace {
struct Props {
  DWORD version = 7;
  LONG extentX = 11;
  LONG extentY = 13;
  LONG stockProps = 17;
  BOOL flag = 19;
  void Exchange(CPropExchange* pPX) {
    pPX->ExchangeVersion(version, 0x00010000, TRUE);
    PX_Long(pPX, "_ExtentX", extentX, 2540);
    PX_Long(pPX, "_ExtentY", extentY, 2540);
    PX_Long(pPX, "_StockProps", stockProps, 0);
    PX_Bool(pPX, "InitiallyDroppable", flag, TRUE);
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kp::com::ComPtr<IStream> input;
  if (FAILED(kp::com::CreateStreamOnBytes(std::span<const BYTE>(data, size), input.put()))) return 0;
  Props props;
  auto exchange = [&props](CPropExchange* pPX) { props.Exchange(pPX); };
  HRESULT hr = kp::afx::LoadPropsFromStream(input.get(), exchange);
  if (FAILED(hr)) {
    if (size >= 17 || hr != E_FAIL) std::abort();
    if (props.version != 0x00010000 || props.extentX != 2540 || props.flag != TRUE) std::abort();
    return 0;
  }
  if (size < 17) std::abort();
  kp::com::ComPtr<IStream> output;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, output.put()))) return 0;
  if (FAILED(kp::afx::SavePropsToStream(output.get(), exchange))) std::abort();
  std::vector<BYTE> saved = kp::com::ReadWholeStream(output.get());
  // The version saved is always the current one; the rest is what was read.
  if (saved.size() != 17 || std::memcmp(saved.data() + 4, data + 4, 13) != 0) std::abort();
  return 0;
}
