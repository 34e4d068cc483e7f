#include "platform/registry/registry_file_format.h"

#include <cstdio>
#include <set>
#include <string_view>

#include "platform/base/ascii.h"
#include "platform/base/line_reader.h"
#include "platform/registry/registry_api.h"

namespace kp::registry {
namespace {
constexpr std::string_view kHeader = "kestrow-registry 1";
constexpr std::string_view kTrailer = "end ";
constexpr char kHex[] = "0123456789abcdef";

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// --- writing ---------------------------------------------------------------

void AppendKeyName(std::string& out, std::string_view name) {
  for (char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    if (IsControl(c) || ch == '%' || ch == '[' || ch == ']') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (IsControl(c)) {
          out += "\\x";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

void AppendValues(std::string& out, const RegistryKey& key) {
  for (const auto& [name, value] : key.values) {
    if (name.empty())
      out += '@';
    else
      AppendQuoted(out, name);
    out += '=';
    if (value.type == REG_DWORD) {
      char digits[16];
      std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(value.number));
      out += digits;
    } else {
      AppendQuoted(out, value.text);
    }
    out += '\n';
  }
}

void AppendKey(std::string& out, const RegistryKey& key, std::string& path, std::size_t& sections) {
  for (const auto& [name, child] : key.subkeys) {
    std::size_t mark = path.size();
    if (!path.empty()) path += '\\';
    AppendKeyName(path, name);
    out += '[';
    out += path;
    out += "]\n";
    ++sections;
    AppendValues(out, *child);
    AppendKey(out, *child, path, sections);
    path.resize(mark);
  }
}

// --- reading ---------------------------------------------------------------

class Parser : base::LineReader {
 public:
  Parser(std::span<const BYTE> bytes, RegistryKey& root, std::string* error)
      : LineReader(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error), m_root(root) {}

  bool Run() {
    std::string_view line;
    if (!NextLine(line)) return Fail("the file is empty");
    if (line != kHeader) return Fail("the first line is not \"kestrow-registry 1\"");
    RegistryKey* current = nullptr;
    std::size_t sections = 0;
    while (NextLine(line)) {
      if (line.empty() || line.front() == ';') continue;
      if (line.front() == '[') {
        if (!ReadSection(line, current)) return false;
        ++sections;
      } else if (line.substr(0, kTrailer.size()) == kTrailer) {
        return ReadTrailer(line, sections);
      } else {
        if (current == nullptr) return Fail("a value stands before the first key");
        if (!ReadValue(line, *current)) return false;
      }
    }
    return Fail("the file ends before its \"end\" line");
  }

 private:
  bool ReadSection(std::string_view line, RegistryKey*& current) {
    if (line.size() < 2 || line.back() != ']') return Fail("a key line does not end with ']'");
    std::string_view body = line.substr(1, line.size() - 2);
    if (body.empty()) {
      if (m_rootSeen) return Fail("the root key is listed twice");
      m_rootSeen = true;
      current = &m_root;
      return true;
    }
    RegistryKey* key = &m_root;
    std::size_t depth = 0;
    while (true) {
      std::size_t slash = body.find('\\');
      std::string name;
      if (!DecodeKeyName(body.substr(0, slash), name)) return false;
      if (++depth > kMaxKeyDepth) return Fail("a key lies deeper than 512 levels");
      key = &key->Child(name);
      if (slash == std::string_view::npos) break;
      body.remove_prefix(slash + 1);
    }
    // A key made earlier only as the parent of another may still be listed
    // itself once; listing it a second time is an error.
    if (!m_listed.insert(key).second) return Fail("a key is listed twice");
    current = key;
    return true;
  }

  bool DecodeKeyName(std::string_view text, std::string& name) {
    if (text.empty()) return Fail("a key path has an empty name");
    for (std::size_t i = 0; i < text.size(); ++i) {
      char ch = text[i];
      if (ch == '%') {
        if (i + 2 >= text.size()) return Fail("a '%' escape is cut short");
        int hi = base::HexDigit(text[i + 1]), lo = base::HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return Fail("a '%' escape is not two hex digits");
        // A backslash separates names; no name can hold one.
        if (hi * 16 + lo == '\\') return Fail("a key name holds a backslash");
        name += static_cast<char>(hi * 16 + lo);
        i += 2;
      } else if (IsControl(static_cast<unsigned char>(ch)) || ch == '[' || ch == ']') {
        return Fail("a key name holds a character that must be escaped");
      } else {
        name += ch;
      }
    }
    if (name.size() > kMaxKeyNameLength) return Fail("a key name is longer than 255 characters");
    return true;
  }

  bool ReadValue(std::string_view line, RegistryKey& key) {
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      if (!ReadQuoted(line, name)) return false;
      if (name.empty()) return Fail("the default value is written as a quoted empty name");
    }
    if (line.empty() || line.front() != '=') return Fail("'=' was expected after a value name");
    line.remove_prefix(1);
    RegistryValue value;
    if (!line.empty() && line.front() == '"') {
      value.type = REG_SZ;
      if (!ReadQuoted(line, value.text)) return false;
      if (!line.empty()) return Fail("text follows a value");
    } else if (line.substr(0, 6) == "dword:") {
      std::string_view digits = line.substr(6);
      if (digits.size() != 8) return Fail("a dword value is not eight hex digits");
      DWORD number = 0;
      for (char c : digits) {
        int d = base::HexDigit(c);
        if (d < 0) return Fail("a dword value is not eight hex digits");
        number = (number << 4) | static_cast<DWORD>(d);
      }
      value.type = REG_DWORD;
      value.number = number;
    } else {
      return Fail("a value is neither a quoted string nor a dword");
    }
    if (!key.values.emplace(std::move(name), std::move(value)).second) return Fail("a value is listed twice");
    return true;
  }

  bool ReadTrailer(std::string_view line, std::size_t sections) {
    if (LastLineCutShort()) return Fail("the \"end\" line is cut short");
    std::string_view count = line.substr(kTrailer.size());
    if (count.empty() || count.size() > 9) return Fail("the \"end\" line has no key count");
    std::size_t n = 0;
    for (char c : count) {
      if (c < '0' || c > '9') return Fail("the \"end\" line has no key count");
      n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (n != sections) return Fail("the key count of the \"end\" line does not match the keys listed");
    if (!AtEnd()) return Fail("text follows the \"end\" line");
    return true;
  }

  RegistryKey& m_root;
  bool m_rootSeen = false;
  std::set<const RegistryKey*> m_listed;
};
}  // namespace

bool ParseRegistryFile(std::span<const BYTE> bytes, RegistryKey& root, std::string* error) {
  return Parser(bytes, root, error).Run();
}

std::string FormatRegistryFile(const RegistryKey& root) {
  std::string out(kHeader);
  out += '\n';
  std::size_t sections = 0;
  if (!root.values.empty()) {
    out += "[]\n";
    ++sections;
    AppendValues(out, root);
  }
  std::string path;
  AppendKey(out, root, path, sections);
  out += kTrailer;
  out += std::to_string(sections);
  out += '\n';
  return out;
}

}  // namespace kp::registry
