#include <gtest/gtest.h>

#include <string>

#include "platform/com/type_library_format.h"

namespace kp::com {
namespace {
const char kTavletLike[] =
    "kestrow-typelib 1\n"
    "; the control's library\n"
    "library TAVLETLib {6F1A4B2C-1111-2222-3333-444455556666} 1.0\n"
    "  flags control\n"
    "  helpstring \"Tavlet ActiveX Control module\"\n"
    "  helpfile \"Tavlet.hlp\"\n"
    "\n"
    "dispinterface _DTavlet {6F1A4B2D-1111-2222-3333-444455556666}\n"
    "  flags hidden\n"
    "  helpstring \"Dispatch interface for Tavlet Control\"\n"
    "  property 1 InitiallyDroppable bool\n"
    "  property 0 _InitiallyDroppable bool\n"
    "  method 2 RecreateBitmap bool rgb:i4* sx:i2 sy:i2\n"
    "  method 3 RecreateBitmapFromFile bool pathname:bstr\n"
    "  method 4 GetBitmapHandle i4\n"
    "  method 5 SetBitmapHandle bool hbm:i4 \"Takes the bitmap\"\n"
    "dispinterface _DTavletEvents {6F1A4B2E-1111-2222-3333-444455556666}\n"
    "  helpstring \"Event interface for Tavlet Control\"\n"
    "  method 1 BmpChange void\n"
    "coclass Tavlet {6F1A4B2F-1111-2222-3333-444455556666}\n"
    "  flags cancreate control\n"
    "  helpstring \"Tavlet Control\"\n"
    "  interface _DTavlet default\n"
    "  interface _DTavletEvents default source\n"
    "end\n";

std::span<const BYTE> Bytes(std::string_view s) { return {reinterpret_cast<const BYTE*>(s.data()), s.size()}; }

TEST(TypeLibraryFormat, ReadsLibraryInterfacesMembersAndClasses) {
  TypeLibrary lib;
  std::string error;
  ASSERT_TRUE(ParseTypeLibrary(Bytes(kTavletLike), lib, &error)) << error;
  EXPECT_EQ(lib.name, "TAVLETLib");
  EXPECT_EQ(GuidToString(lib.libid), "{6F1A4B2C-1111-2222-3333-444455556666}");
  EXPECT_EQ(lib.majorVersion, 1);
  EXPECT_EQ(lib.minorVersion, 0);
  EXPECT_EQ(lib.flags, LIBFLAG_FCONTROL);
  EXPECT_EQ(lib.helpString, "Tavlet ActiveX Control module");
  EXPECT_EQ(lib.helpFile, "Tavlet.hlp");
  ASSERT_EQ(lib.types.size(), 3u);

  const TypeLibType& dispatch = lib.types[0];
  EXPECT_EQ(dispatch.kind, TKIND_DISPATCH);
  EXPECT_EQ(dispatch.flags, TYPEFLAG_FHIDDEN);
  ASSERT_EQ(dispatch.members.size(), 6u);
  const TypeLibMember& recreate = dispatch.members[2];
  EXPECT_EQ(recreate.kind, MemberKind::Method);
  EXPECT_EQ(recreate.dispid, 2);
  EXPECT_EQ(recreate.result, (TypeRef{VT_BOOL, 0}));
  ASSERT_EQ(recreate.params.size(), 3u);
  EXPECT_EQ(recreate.params[0].name, "rgb");
  EXPECT_EQ(recreate.params[0].type, (TypeRef{VT_I4, 1}));  // pointer to long
  EXPECT_EQ(recreate.params[1].type, (TypeRef{VT_I2, 0}));
  EXPECT_EQ(dispatch.members[1].kind, MemberKind::Property);
  EXPECT_EQ(dispatch.members[1].dispid, 0);
  EXPECT_EQ(dispatch.members[5].helpString, "Takes the bitmap");

  const TypeLibType& coclass = lib.types[2];
  EXPECT_EQ(coclass.kind, TKIND_COCLASS);
  EXPECT_EQ(coclass.flags, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
  ASSERT_EQ(coclass.interfaces.size(), 2u);
  EXPECT_EQ(coclass.interfaces[0].type, 0u);
  EXPECT_EQ(coclass.interfaces[0].flags, IMPLTYPEFLAG_FDEFAULT);
  EXPECT_EQ(coclass.interfaces[1].type, 1u);
  EXPECT_EQ(coclass.interfaces[1].flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

TEST(TypeLibraryFormat, EveryTruncationIsAnError) {
  std::string text(kTavletLike);
  for (std::size_t length = 0; length < text.size(); ++length) {
    TypeLibrary lib;
    EXPECT_FALSE(ParseTypeLibrary(Bytes(text.substr(0, length)), lib, nullptr)) << "cut at " << length;
  }
}

TEST(TypeLibraryFormat, AllowsAGetAndAPutToShareADispid) {
  const char* text =
      "kestrow-typelib 1\nlibrary L {00000000-0000-0000-0000-000000000001} 2.3\n"
      "dispinterface D {00000000-0000-0000-0000-000000000002}\n"
      "  propget 7 Caption bstr\n  propput 7 caption void value:bstr\n  method -4 _NewEnum unknown\nend\n";
  TypeLibrary lib;
  std::string error;
  ASSERT_TRUE(ParseTypeLibrary(Bytes(text), lib, &error)) << error;
  EXPECT_EQ(lib.minorVersion, 3);
  EXPECT_EQ(lib.types[0].members[2].dispid, -4);
}

TEST(TypeLibraryFormat, RejectsMalformedLibrariesWithALineNumber) {
  const std::string head =
      "kestrow-typelib 1\nlibrary L {00000000-0000-0000-0000-000000000001} 1.0\n"
      "dispinterface D {00000000-0000-0000-0000-000000000002}\n";
  struct Row {
    const char* what;
    std::string text;
  } rows[] = {
      {"no header", "library L {00000000-0000-0000-0000-000000000001} 1.0\nend\n"},
      {"no library", "kestrow-typelib 1\ndispinterface D {00000000-0000-0000-0000-000000000002}\nend\n"},
      {"nothing but the end", "kestrow-typelib 1\nend\n"},
      {"library twice", head + "library M {00000000-0000-0000-0000-000000000003} 1.0\nend\n"},
      {"bad guid", "kestrow-typelib 1\nlibrary L {0000} 1.0\nend\n"},
      {"bad version", "kestrow-typelib 1\nlibrary L {00000000-0000-0000-0000-000000000001} 1\nend\n"},
      {"unknown type", head + "  method 1 M float\nend\n"},
      {"pointer to void", head + "  method 1 M void*\nend\n"},
      {"void parameter", head + "  method 1 M void x:void\nend\n"},
      {"parameter without type", head + "  method 1 M void x\nend\n"},
      {"two names for a dispid", head + "  method 1 A void\n  method 1 B void\nend\n"},
      {"two dispids for a name", head + "  method 1 A void\n  method 2 a void\nend\n"},
      {"method twice", head + "  method 1 A void\n  method 1 A void\nend\n"},
      {"property with a put", head + "  property 1 A bool\n  propput 1 A void v:bool\nend\n"},
      {"property with parameters", head + "  property 1 A bool x:i4\nend\n"},
      {"put without value", head + "  propput 1 A void\nend\n"},
      {"parameter twice", head + "  method 1 A void x:i4 X:i2\nend\n"},
      {"bad name", head + "  method 1 9A void\nend\n"},
      {"dispid out of range", head + "  method 4294967296 A void\nend\n"},
      {"member outside interface",
       "kestrow-typelib 1\nlibrary L {00000000-0000-0000-0000-000000000001} 1.0\n  method 1 A void\nend\n"},
      {"unknown interface in class",
       head + "coclass C {00000000-0000-0000-0000-000000000003}\n  interface Nope default\nend\n"},
      {"two default interfaces",
       head + "dispinterface E {00000000-0000-0000-0000-000000000004}\n"
              "coclass C {00000000-0000-0000-0000-000000000003}\n  interface D default\n  interface E default\nend\n"},
      {"type name twice", head + "dispinterface d {00000000-0000-0000-0000-000000000005}\nend\n"},
      {"type guid twice", head + "dispinterface E {00000000-0000-0000-0000-000000000002}\nend\n"},
      {"unknown flag", head + "  flags control\nend\n"},
      {"unclosed string", head + "  helpstring \"open\nend\n"},
      {"text after end", head + "end\nmethod 1 A void\n"},
      {"end not alone", head + "end now\n"},
  };
  for (const Row& row : rows) {
    TypeLibrary lib;
    std::string error;
    EXPECT_FALSE(ParseTypeLibrary(Bytes(row.text), lib, &error)) << row.what;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << row.what << ": " << error;
  }
}
}  // namespace
}  // namespace kp::com
