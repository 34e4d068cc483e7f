#include "platform/com/type_library_format.h"

#include <cstdio>
#include <map>
#include <set>
#include <string_view>

#include "platform/base/ascii.h"
#include "platform/base/line_reader.h"

namespace kp::com {
namespace {
constexpr std::string_view kHeader = "kestrow-typelib 1";
constexpr std::size_t kMaxNameLength = 255;
constexpr std::size_t kMaxTypes = 256;
constexpr std::size_t kMaxMembers = 1024;
constexpr std::size_t kMaxParams = 32;
constexpr int kMaxPointers = 3;

struct TypeWord {
  const char* word;
  VARTYPE vt;
};
// clang-format off
constexpr TypeWord kTypeWords[] = {
    {"void", VT_VOID},    {"bool", VT_BOOL},       {"i1", VT_I1},         {"ui1", VT_UI1},   {"i2", VT_I2},
    {"ui2", VT_UI2},      {"i4", VT_I4},           {"ui4", VT_UI4},       {"int", VT_INT},   {"uint", VT_UINT},
    {"r4", VT_R4},        {"r8", VT_R8},           {"bstr", VT_BSTR},     {"variant", VT_VARIANT},
    {"dispatch", VT_DISPATCH}, {"unknown", VT_UNKNOWN}, {"error", VT_ERROR}, {"hresult", VT_HRESULT},
};
// clang-format on

struct KindWord {
  const char* word;
  MemberKind kind;
};
constexpr KindWord kKindWords[] = {
    {"method", MemberKind::Method},
    {"propget", MemberKind::PropertyGet},
    {"propput", MemberKind::PropertyPut},
    {"property", MemberKind::Property},
};

struct FlagWord {
  const char* word;
  WORD flag;
};
// clang-format off
constexpr FlagWord kLibraryFlags[] = {
    {"restricted", LIBFLAG_FRESTRICTED}, {"control", LIBFLAG_FCONTROL}, {"hidden", LIBFLAG_FHIDDEN}};
constexpr FlagWord kInterfaceFlags[] = {
    {"hidden", TYPEFLAG_FHIDDEN}, {"restricted", TYPEFLAG_FRESTRICTED}, {"nonextensible", TYPEFLAG_FNONEXTENSIBLE}};
constexpr FlagWord kClassFlags[] = {
    {"appobject", TYPEFLAG_FAPPOBJECT}, {"cancreate", TYPEFLAG_FCANCREATE}, {"licensed", TYPEFLAG_FLICENSED},
    {"hidden", TYPEFLAG_FHIDDEN},       {"control", TYPEFLAG_FCONTROL},     {"restricted", TYPEFLAG_FRESTRICTED}};
constexpr FlagWord kImplementedFlags[] = {
    {"default", IMPLTYPEFLAG_FDEFAULT}, {"source", IMPLTYPEFLAG_FSOURCE}, {"restricted", IMPLTYPEFLAG_FRESTRICTED}};

// clang-format on

bool IsIdentifier(std::string_view s) {
  if (s.empty() || s.size() > kMaxNameLength) return false;
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!letter(s[0])) return false;
  for (char c : s)
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

// A decimal or 0x-hex number, optionally negative, within [minimum, maximum].
bool ParseNumber(std::string_view s, long long minimum, long long maximum, long long& out) {
  bool negative = !s.empty() && s[0] == '-';
  if (negative) s.remove_prefix(1);
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty() || s.size() > 10) return false;
  long long value = 0;
  for (char c : s) {
    int d = base::HexDigit(c);
    if (d < 0 || d >= base) return false;
    value = value * base + d;
  }
  if (negative) value = -value;
  if (value < minimum || value > maximum) return false;
  out = value;
  return true;
}

struct Token {
  std::string text;
  bool quoted = false;
};

class Parser : base::LineReader {
 public:
  Parser(std::span<const BYTE> bytes, TypeLibrary& library, std::string* error)
      : LineReader(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error),
        m_library(library) {}

  bool Run() {
    m_library = TypeLibrary{};
    std::string_view line;
    if (!NextLine(line) || line != kHeader) return Fail("the first line is not \"kestrow-typelib 1\"");
    bool ended = false;
    while (NextLine(line)) {
      std::vector<Token> tokens;
      if (!Tokenize(line, tokens)) return false;
      if (tokens.empty()) continue;
      if (ended) return Fail("text follows the \"end\" line");
      if (tokens[0].quoted) return Fail("a line starts with a quoted string");
      const std::string& word = tokens[0].text;
      if (word == "end") {
        if (tokens.size() != 1) return Fail("\"end\" stands alone on its line");
        if (LastLineCutShort()) return Fail("the \"end\" line is cut short");
        ended = true;
      } else if (word == "library") {
        if (!ReadLibrary(tokens)) return false;
      } else if (!m_haveLibrary) {
        return Fail("\"library\" must come first");
      } else if (word == "dispinterface" || word == "coclass") {
        if (!ReadTypeHeader(tokens)) return false;
      } else if (!ReadStatement(tokens)) {
        return false;
      }
    }
    if (!ended) return Fail("the file ends before its \"end\" line");
    if (!m_haveLibrary) return Fail("there is no \"library\" line");
    return ResolveClasses();
  }

 private:
  enum class Section { Library, Interface, Class };

  bool Tokenize(std::string_view line, std::vector<Token>& tokens) {
    std::size_t i = 0;
    while (true) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
      if (i >= line.size()) return true;
      if (tokens.empty() && line[i] == ';') return true;
      Token token;
      if (line[i] == '"') {
        token.quoted = true;
        std::string_view rest = line.substr(i);
        if (!ReadQuoted(rest, token.text)) return false;
        i = line.size() - rest.size();
        if (i < line.size() && line[i] != ' ' && line[i] != '\t') return Fail("text follows a quoted string");
      } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
          char c = line[i];
          if (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return Fail("a word holds a quote or a control character");
          token.text += c;
          ++i;
        }
      }
      tokens.push_back(std::move(token));
      if (tokens.size() > kMaxParams + 8) return Fail("a line has too many words");
    }
  }

  bool ReadGuid(const Token& token, GUID& guid) {
    auto parsed = token.quoted ? std::nullopt : GuidFromString(token.text);
    if (!parsed) return Fail("a GUID in braces was expected");
    guid = *parsed;
    return true;
  }

  bool ReadName(const Token& token, std::string& name) {
    if (token.quoted || !IsIdentifier(token.text)) return Fail("a name was expected: letters, digits and '_'");
    name = token.text;
    return true;
  }

  bool ReadLibrary(const std::vector<Token>& t) {
    if (m_haveLibrary) return Fail("\"library\" appears twice");
    if (t.size() != 4) return Fail("\"library\" takes a name, a GUID and a version");
    if (!ReadName(t[1], m_library.name) || !ReadGuid(t[2], m_library.libid)) return false;
    std::string_view version = t[3].text;
    std::size_t dot = version.find('.');
    long long major = 0, minor = 0;
    if (t[3].quoted || dot == std::string_view::npos || !ParseNumber(version.substr(0, dot), 0, 0xFFFF, major) ||
        !ParseNumber(version.substr(dot + 1), 0, 0xFFFF, minor))
      return Fail("a version major.minor was expected");
    m_library.majorVersion = static_cast<WORD>(major);
    m_library.minorVersion = static_cast<WORD>(minor);
    m_haveLibrary = true;
    m_section = Section::Library;
    return true;
  }

  bool ReadTypeHeader(const std::vector<Token>& t) {
    if (t.size() != 3) return Fail("a type takes a name and a GUID");
    if (m_library.types.size() >= kMaxTypes) return Fail("too many types");
    TypeLibType type;
    type.kind = t[0].text == "coclass" ? TKIND_COCLASS : TKIND_DISPATCH;
    if (!ReadName(t[1], type.name) || !ReadGuid(t[2], type.guid)) return false;
    if (!m_typeNames.insert(base::FoldCase(type.name)).second) return Fail("a type name is used twice");
    if (!m_typeGuids.insert(GuidToString(type.guid)).second) return Fail("a type GUID is used twice");
    m_library.types.push_back(std::move(type));
    m_section = t[0].text == "coclass" ? Section::Class : Section::Interface;
    m_names.clear();
    m_dispids.clear();
    m_classInterfaces.clear();
    return true;
  }

  bool ReadFlags(const std::vector<Token>& t, std::span<const FlagWord> known, WORD& flags) {
    for (std::size_t i = 1; i < t.size(); ++i) {
      bool found = false;
      for (const FlagWord& f : known) {
        if (!t[i].quoted && t[i].text == f.word) {
          flags = static_cast<WORD>(flags | f.flag);
          found = true;
        }
      }
      if (!found) return Fail("\"" + t[i].text + "\" is not a flag here");
    }
    return true;
  }

  bool ReadString(const std::vector<Token>& t, std::string& out) {
    if (t.size() != 2 || !t[1].quoted) return Fail("\"" + t[0].text + "\" takes one quoted string");
    out = t[1].text;
    return true;
  }

  bool ReadDword(const std::vector<Token>& t, DWORD& out) {
    long long value = 0;
    if (t.size() != 2 || t[1].quoted || !ParseNumber(t[1].text, 0, 0xFFFFFFFFLL, value))
      return Fail("\"" + t[0].text + "\" takes one number");
    out = static_cast<DWORD>(value);
    return true;
  }

  bool ReadStatement(const std::vector<Token>& t) {
    const std::string& word = t[0].text;
    TypeLibType* type = m_section == Section::Library ? nullptr : &m_library.types.back();
    if (word == "helpstring") return ReadString(t, type ? type->helpString : m_library.helpString);
    if (word == "helpcontext") return ReadDword(t, type ? type->helpContext : m_library.helpContext);
    if (word == "flags") {
      if (m_section == Section::Library) return ReadFlags(t, kLibraryFlags, m_library.flags);
      return ReadFlags(t,
                       m_section == Section::Class ? std::span<const FlagWord>(kClassFlags)
                                                   : std::span<const FlagWord>(kInterfaceFlags),
                       type->flags);
    }
    if (m_section == Section::Library) {
      if (word == "helpfile") return ReadString(t, m_library.helpFile);
      if (word == "lcid") {
        DWORD lcid = 0;
        if (!ReadDword(t, lcid)) return false;
        m_library.lcid = lcid;
        return true;
      }
    }
    if (m_section == Section::Class && word == "interface") return ReadImplemented(t, *type);
    if (m_section == Section::Interface) {
      for (const KindWord& k : kKindWords)
        if (word == k.word) return ReadMember(t, k.kind, *type);
    }
    return Fail("\"" + word + "\" is not a statement here");
  }

  bool ReadType(const Token& token, TypeRef& type) {
    std::string_view text = token.text;
    int pointers = 0;
    while (!text.empty() && text.back() == '*') {
      text.remove_suffix(1);
      ++pointers;
    }
    if (token.quoted || pointers > kMaxPointers) return Fail("a type was expected");
    for (const TypeWord& w : kTypeWords) {
      if (text == w.word) {
        if (w.vt == VT_VOID && pointers > 0) return Fail("there is no pointer to void");
        type = TypeRef{w.vt, pointers};
        return true;
      }
    }
    return Fail("\"" + token.text + "\" is not a type");
  }

  bool ReadMember(const std::vector<Token>& t, MemberKind kind, TypeLibType& type) {
    if (type.members.size() >= kMaxMembers) return Fail("too many members");
    if (t.size() < 4) return Fail("a member takes a dispid, a name and a result type");
    TypeLibMember member;
    member.kind = kind;
    long long dispid = 0;
    if (t[1].quoted || !ParseNumber(t[1].text, -0x80000000LL, 0x7FFFFFFFLL, dispid))
      return Fail("a dispid was expected");
    member.dispid = static_cast<DISPID>(dispid);
    if (!ReadName(t[2], member.name) || !ReadType(t[3], member.result)) return false;
    std::size_t end = t.size();
    if (t.back().quoted && end > 4) {
      member.helpString = t.back().text;
      --end;
    }
    std::set<std::string> paramNames;
    for (std::size_t i = 4; i < end; ++i) {
      std::size_t colon = t[i].text.find(':');
      if (t[i].quoted || colon == std::string::npos) return Fail("a parameter name:type was expected");
      TypeLibParameter param;
      Token name{t[i].text.substr(0, colon), false};
      Token typeWord{t[i].text.substr(colon + 1), false};
      if (!ReadName(name, param.name) || !ReadType(typeWord, param.type)) return false;
      if (param.type.vt == VT_VOID) return Fail("a parameter cannot be void");
      if (!paramNames.insert(base::FoldCase(param.name)).second) return Fail("a parameter name is used twice");
      member.params.push_back(std::move(param));
    }
    if (!CheckMemberShape(member)) return false;
    if (!CheckMemberIdentity(member)) return false;
    type.members.push_back(std::move(member));
    return true;
  }

  bool CheckMemberShape(const TypeLibMember& m) {
    switch (m.kind) {
      case MemberKind::Property:
        if (!m.params.empty() || m.result.vt == VT_VOID) return Fail("a property has a type and no parameters");
        return true;
      case MemberKind::PropertyGet:
        if (m.result.vt == VT_VOID) return Fail("a propget has a result");
        return true;
      case MemberKind::PropertyPut:
        if (m.params.empty() || m.result.vt != VT_VOID) return Fail("a propput takes a value and returns void");
        return true;
      case MemberKind::Method: return true;
    }
    return true;
  }

  // One name per dispid, one dispid per name, and per dispid either one
  // property, one method, or a get and/or a put.
  bool CheckMemberIdentity(const TypeLibMember& m) {
    std::string folded = base::FoldCase(m.name);
    auto byName = m_names.find(folded);
    if (byName != m_names.end() && byName->second != m.dispid) return Fail("a name has two dispids");
    auto& kinds = m_dispids[m.dispid];
    if (!kinds.empty()) {
      if (!base::EqualNoCase(kinds.front().second, m.name)) return Fail("a dispid has two names");
      for (const auto& [kind, name] : kinds) {
        bool pair = (kind == MemberKind::PropertyGet && m.kind == MemberKind::PropertyPut) ||
                    (kind == MemberKind::PropertyPut && m.kind == MemberKind::PropertyGet);
        if (!pair) return Fail("a dispid is used twice");
      }
    }
    kinds.emplace_back(m.kind, m.name);
    m_names[folded] = m.dispid;
    return true;
  }

  bool ReadImplemented(const std::vector<Token>& t, TypeLibType& type) {
    if (t.size() < 2) return Fail("\"interface\" takes a name");
    std::string name;
    if (!ReadName(t[1], name)) return false;
    if (!m_classInterfaces.insert(base::FoldCase(name)).second) return Fail("a class names an interface twice");
    WORD flags = 0;
    std::vector<Token> rest(t.begin() + 1, t.end());
    if (!ReadFlags(rest, kImplementedFlags, flags)) return false;
    // The interface is found by name once the whole file is read.
    m_pendingNames.emplace_back(m_library.types.size() - 1, type.interfaces.size(), name);
    type.interfaces.push_back(TypeLibImplemented{0, static_cast<INT>(flags)});
    return true;
  }

  bool ResolveClasses() {
    for (const auto& [typeIndex, slot, name] : m_pendingNames) {
      std::size_t found = m_library.types.size();
      for (std::size_t i = 0; i < m_library.types.size(); ++i)
        if (m_library.types[i].kind == TKIND_DISPATCH && base::EqualNoCase(m_library.types[i].name, name)) found = i;
      if (found == m_library.types.size())
        return Fail("a class names \"" + name + "\", which is no dispinterface here");
      m_library.types[typeIndex].interfaces[slot].type = found;
    }
    for (const TypeLibType& type : m_library.types) {
      int defaults = 0, defaultSources = 0;
      for (const TypeLibImplemented& i : type.interfaces) {
        if (i.flags & IMPLTYPEFLAG_FDEFAULT) ++((i.flags & IMPLTYPEFLAG_FSOURCE) ? defaultSources : defaults);
      }
      if (defaults > 1 || defaultSources > 1) return Fail("class " + type.name + " has two defaults of one kind");
    }
    return true;
  }

  TypeLibrary& m_library;
  bool m_haveLibrary = false;
  Section m_section = Section::Library;
  std::set<std::string> m_typeNames;
  std::set<std::string> m_typeGuids;
  std::map<std::string, DISPID> m_names;
  std::map<DISPID, std::vector<std::pair<MemberKind, std::string>>> m_dispids;
  std::set<std::string> m_classInterfaces;
  std::vector<std::tuple<std::size_t, std::size_t, std::string>> m_pendingNames;
};

}  // namespace

bool ParseTypeLibrary(std::span<const BYTE> bytes, TypeLibrary& library, std::string* error) {
  return Parser(bytes, library, error).Run();
}

}  // namespace kp::com
