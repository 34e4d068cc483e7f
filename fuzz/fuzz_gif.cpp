// GIF files: giflib's records and our drawing of the first frame on the logical screen.

#include "picture_decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzPictureDecoder(kp::codecs::DecodeGif, data, size);
}
