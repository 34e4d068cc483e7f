#include "tools/make_art/source_writer.h"

namespace make_art {

void WriteSource(std::ostream& out, std::string_view header, std::string_view nameSpace,
                 const std::vector<NamedBytes>& resources) {
  static constexpr char kHex[] = "0123456789abcdef";
  out << "// Written by make-art when the program is built; the pictures are drawn in\n"
         "// tools/make_art. Do not edit.\n\n"
      << "#include \"" << header << "\"\n\n"
      << "namespace " << nameSpace << " {\n";
  for (const NamedBytes& resource : resources) {
    out << "\nnamespace {\nconstexpr BYTE " << resource.name << "Bytes[" << resource.bytes.size() << "] = {";
    for (std::size_t i = 0; i < resource.bytes.size(); ++i) {
      if (i % 16 == 0) out << "\n   ";
      const std::uint8_t b = resource.bytes[i];
      out << " 0x" << kHex[b >> 4] << kHex[b & 15] << ',';
    }
    out << "\n};\n}  // namespace\n"
        << "constinit const std::span<const BYTE> " << resource.name << "{" << resource.name << "Bytes};\n";
  }
  out << "\n}  // namespace " << nameSpace << "\n";
}

}  // namespace make_art
