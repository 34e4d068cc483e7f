#pragma once
// The editor's automation object: its class id, its dispatch interface id
// and its ProgID. Fixed for good: registries hold them.

#include "platform/base/guid.h"

inline constexpr CLSID CLSID_KestrowApplication = {
    0xE7556505, 0x1B5F, 0x4CB8, {0x91, 0x69, 0x76, 0xB4, 0x0F, 0xA5, 0x90, 0x92}};
inline constexpr IID IID_IKestrow = {0x13A960C9, 0x2951, 0x42E5, {0x86, 0x64, 0xCF, 0xBC, 0x93, 0x47, 0x5D, 0x96}};
inline constexpr char kKestrowProgId[] = "Kestrow.Application";
