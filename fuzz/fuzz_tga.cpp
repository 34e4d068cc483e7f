// TGA files: our header checks, colour maps, run-length packets and footer.

#include "picture_decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzPictureDecoder(kp::codecs::DecodeTga, data, size);
}
