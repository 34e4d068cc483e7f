// JPEG files, through libjpeg-turbo and our handling of its errors, warnings and colour spaces.

#include "picture_decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzPictureDecoder(kp::codecs::DecodeJpeg, data, size);
}
