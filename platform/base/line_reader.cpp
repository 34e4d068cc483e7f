#include "platform/base/line_reader.h"

#include "platform/base/ascii.h"

namespace kp::base {

bool LineReader::NextLine(std::string_view& line) {
  if (AtEnd()) return false;
  std::size_t end = m_text.find('\n', m_pos);
  ++m_line;
  if (end == std::string_view::npos) {
    m_cutShort = true;
    line = m_text.substr(m_pos);
    m_pos = m_text.size();
  } else {
    line = m_text.substr(m_pos, end - m_pos);
    m_pos = end + 1;
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool LineReader::Fail(std::string_view what) {
  if (m_error != nullptr) *m_error = "line " + std::to_string(m_line) + ": " + std::string(what);
  return false;
}

bool LineReader::ReadQuoted(std::string_view& rest, std::string& out) {
  if (rest.empty() || rest.front() != '"') return Fail("a quoted string was expected");
  std::size_t i = 1;
  while (true) {
    if (i >= rest.size()) return Fail("a quoted string is not closed");
    char ch = rest[i];
    if (ch == '"') break;
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
      return Fail("a quoted string holds an unescaped control character");
    if (ch != '\\') {
      out += ch;
      ++i;
      continue;
    }
    if (i + 1 >= rest.size()) return Fail("an escape is cut short");
    switch (rest[i + 1]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (i + 3 >= rest.size()) return Fail("a \\x escape is cut short");
        int hi = HexDigit(rest[i + 2]), lo = HexDigit(rest[i + 3]);
        if (hi < 0 || lo < 0) return Fail("a \\x escape is not two hex digits");
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default: return Fail("an unknown escape");
    }
    i += 2;
  }
  rest.remove_prefix(i + 1);
  return true;
}

}  // namespace kp::base
