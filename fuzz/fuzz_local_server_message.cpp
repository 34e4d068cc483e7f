// Fuzz target for the messages a local server and its client exchange:
// every decoder meets every input, and whatever decodes encodes again.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/com/local_server_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kp::com::wire;
  std::span<const BYTE> body(data, size);
  ActivateRequest activate;
  if (Decode(body, activate) && Encode(activate) != std::vector<BYTE>(body.begin(), body.end())) std::abort();
  ActivateReply activated;
  Decode(body, activated);
  NamesRequest names;
  if (Decode(body, names) && Encode(names) != std::vector<BYTE>(body.begin(), body.end())) std::abort();
  NamesReply ids;
  Decode(body, ids);
  InvokeRequest invoke;
  if (Decode(body, invoke)) {
    std::vector<BYTE> again;
    if (FAILED(Encode(invoke, again)) || again != std::vector<BYTE>(body.begin(), body.end())) std::abort();
  }
  InvokeReply invoked;
  Decode(body, invoked);
  // The same bytes as a stream of frames.
  FrameBuffer frames;
  frames.Append(data, size);
  std::vector<BYTE> frame;
  while (frames.Next(frame) == FrameBuffer::Result::Frame) {
  }
  return 0;
}
