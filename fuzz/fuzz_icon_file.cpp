// Icon and cursor files: our directory reading, over PNG and DIB images.

#include "picture_decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzPictureDecoder(kp::codecs::DecodeIconFile, data, size);
}
