// PBM, PGM, PPM and PAM files, plain and raw: our own parser.

#include "picture_decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzPictureDecoder(kp::codecs::DecodeNetpbm, data, size);
}
