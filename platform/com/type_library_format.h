#pragma once
// The text form of a type library. A module carries it as its custom
// resource "TYPELIB" 1; LoadTypeLib reads it. Example:
//
//   kestrow-typelib 1
//   library TAVLETLib {6F1A4B2C-...} 1.0
//     flags control
//     helpstring "Tavlet ActiveX Control module"
//     helpfile "Tavlet.hlp"
//   dispinterface _DTavlet {...}
//     flags hidden
//     helpstring "Dispatch interface for Tavlet Control"
//     property 1 InitiallyDroppable bool
//     method 2 RecreateBitmap bool rgb:i4* sx:i2 sy:i2
//     method 4 GetBitmapHandle i4
//   dispinterface _DTavletEvents {...}
//     method 1 BmpChange void
//   coclass Tavlet {...}
//     flags cancreate control
//     interface _DTavlet default
//     interface _DTavletEvents default source
//   end
//
// - One statement per line, words separated by blanks; indentation is for
//   the reader. Blank lines and lines starting with ';' are ignored.
// - The first line names the format and its version; "library" comes next,
//   once; then any number of "dispinterface" and "coclass" sections; the
//   last line is "end", so a file cut short is recognised as damaged.
// - In a section: "flags" with flag words, "helpstring" and (library)
//   "helpfile" with a quoted string (escapes \\ \" \n \r \t \xHH),
//   "helpcontext" and (library) "lcid" with a number.
// - Library flags: restricted control hidden. Interface flags: hidden
//   restricted nonextensible. Class flags: appobject cancreate licensed
//   hidden control restricted.
// - A member is: kind dispid name result-type parameter... [helpstring],
//   where kind is method, propget, propput or property (a dispatch property
//   without parameters), a parameter is name:type, and a type is one of
//   void bool i1 ui1 i2 ui2 i4 ui4 int uint r4 r8 bstr variant dispatch
//   unknown error hresult, followed by one '*' per level of indirection
//   (i4* is a pointer to a 32-bit integer).
// - In a class: "interface Name" with the words default, source and
//   restricted; the name must be a dispinterface of the library.
//
// Checks beyond the grammar: names are identifiers of at most 255
// characters; type names and GUIDs are unique; within an interface a name
// has one dispid and a dispid one name, a dispid is a property, a method,
// or a get and/or a put, each once; parameter names are unique per member.

#include <span>
#include <string>
#include <vector>

#include "platform/com/type_info.h"

namespace kp::com {

enum class MemberKind { Method, PropertyGet, PropertyPut, Property };

struct TypeRef {
  VARTYPE vt = VT_VOID;
  int pointers = 0;  // levels of indirection

  friend bool operator==(const TypeRef&, const TypeRef&) = default;
};

struct TypeLibParameter {
  std::string name;
  TypeRef type;
};

struct TypeLibMember {
  MemberKind kind = MemberKind::Method;
  DISPID dispid = 0;
  std::string name;
  TypeRef result;
  std::vector<TypeLibParameter> params;
  std::string helpString;
};

struct TypeLibImplemented {
  std::size_t type = 0;  // index into TypeLibrary::types, a dispinterface
  INT flags = 0;         // IMPLTYPEFLAG_
};

struct TypeLibType {
  TYPEKIND kind = TKIND_DISPATCH;  // TKIND_DISPATCH or TKIND_COCLASS
  std::string name;
  GUID guid{};
  WORD flags = 0;  // TYPEFLAG_
  std::string helpString;
  DWORD helpContext = 0;
  std::vector<TypeLibMember> members;          // dispinterfaces
  std::vector<TypeLibImplemented> interfaces;  // classes
};

struct TypeLibrary {
  std::string name;
  GUID libid{};
  WORD majorVersion = 0;
  WORD minorVersion = 0;
  LCID lcid = 0;
  WORD flags = 0;  // LIBFLAG_
  std::string helpString;
  std::string helpFile;
  DWORD helpContext = 0;
  std::vector<TypeLibType> types;  // in the order of the file
};

// Reads a type library from `bytes`. On failure returns false and describes
// the first fault, with its line number, in *error.
bool ParseTypeLibrary(std::span<const BYTE> bytes, TypeLibrary& library, std::string* error);

}  // namespace kp::com
