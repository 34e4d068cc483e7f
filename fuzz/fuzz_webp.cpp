// WebP files, still and animated, through libwebp.

#include "picture_decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzPictureDecoder(kp::codecs::DecodeWebp, data, size);
}
