// Fuzz target for the type library text format: any bytes give a library
// or an error, and a library that was read also loads and answers
// GetIDsOfNames.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/type_library.h"
#include "platform/com/type_library_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kp::com;
  std::span<const BYTE> bytes(data, size);
  TypeLibrary library;
  std::string error;
  if (!ParseTypeLibrary(bytes, library, &error)) return 0;
  ComPtr<ITypeLib> loaded;
  if (FAILED(LoadTypeLibFromBytes(bytes, loaded.put()))) std::abort();
  for (UINT i = 0; i < loaded->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    if (FAILED(loaded->GetTypeInfo(i, info.put()))) std::abort();
    for (const TypeLibMember& member : library.types[i].members) {
      std::string name = member.name;
      LPOLESTR names[] = {name.data()};
      MEMBERID id = 0;
      if (FAILED(info->GetIDsOfNames(names, 1, &id)) || id != member.dispid) std::abort();
    }
  }
  return 0;
}
