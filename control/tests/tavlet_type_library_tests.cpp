#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/tests/tavlet_module.h"
#include "interfaces/tavlet_ids.h"
#include "platform/com/type_library_format.h"
#include "platform/resources/resources.h"

namespace tavlet_test {
namespace {

using namespace tavlet;
using kp::com::MemberKind;
using kp::com::TypeLibrary;
using kp::com::TypeLibType;

// The module's type library, as its resource carries it.
TypeLibrary ModuleTypeLibrary() {
  TypeLibrary library;
  HINSTANCE module = LoadTavletModule();
  EXPECT_NE(module, nullptr);
  auto bytes = kp::resources::FindResourceBytes(module, MAKEINTRESOURCE(1), "TYPELIB");
  EXPECT_TRUE(bytes.has_value());
  std::string error;
  if (bytes) {
    EXPECT_TRUE(kp::com::ParseTypeLibrary(*bytes, library, &error)) << error;
  }
  return library;
}

const TypeLibType* Find(const TypeLibrary& library, const std::string& name) {
  for (const TypeLibType& type : library.types)
    if (type.name == name) return &type;
  return nullptr;
}

// A member as one line: kind, dispid, name, result and parameters.
std::string Describe(const kp::com::TypeLibMember& m) {
  static const char* const kKinds[] = {"method", "propget", "propput", "property"};
  auto type = [](const kp::com::TypeRef& t) { return std::to_string(t.vt) + std::string(t.pointers, '*'); };
  std::string text = std::string(kKinds[static_cast<int>(m.kind)]) + " " + std::to_string(m.dispid) + " " + m.name +
                     " " + type(m.result);
  for (const auto& p : m.params) text += " " + p.name + ":" + type(p.type);
  return text;
}

std::vector<std::string> Members(const TypeLibType& type) {
  std::vector<std::string> lines;
  for (const auto& m : type.members) lines.push_back(Describe(m));
  return lines;
}

TEST(TavletTypeLibrary, TheLibraryIsTavletLibOneZeroAControlLibrary) {
  TypeLibrary library = ModuleTypeLibrary();
  EXPECT_EQ(library.name, "TAVLETLib");
  EXPECT_EQ(library.libid, LIBID_TAVLETLib);
  EXPECT_EQ(library.majorVersion, kTypeLibMajor);
  EXPECT_EQ(library.minorVersion, kTypeLibMinor);
  EXPECT_EQ(library.flags, LIBFLAG_FCONTROL);
  EXPECT_EQ(library.helpFile, "Tavlet.hlp");
  EXPECT_EQ(library.helpString, "Tavlet ActiveX Control module");
  EXPECT_EQ(library.types.size(), 3u);
}

TEST(TavletTypeLibrary, TheDispatchInterfaceIsHiddenWithTheSixPublishedMembers) {
  TypeLibrary library = ModuleTypeLibrary();
  const TypeLibType* dispatch = Find(library, "_DTavlet");
  ASSERT_NE(dispatch, nullptr);
  EXPECT_EQ(dispatch->kind, TKIND_DISPATCH);
  EXPECT_EQ(dispatch->guid, DIID__DTavlet);
  EXPECT_EQ(dispatch->flags, TYPEFLAG_FHIDDEN);
  EXPECT_EQ(dispatch->helpString, "Dispatch interface for Tavlet Control");
  const std::string b = std::to_string(VT_BOOL), i2 = std::to_string(VT_I2), i4 = std::to_string(VT_I4),
                    bstr = std::to_string(VT_BSTR);
  EXPECT_EQ(Members(*dispatch), (std::vector<std::string>{
                                    "property " + std::to_string(DispidInitiallyDroppable) + " InitiallyDroppable " + b,
                                    "property " + std::to_string(DispidDefaultValue) + " _InitiallyDroppable " + b,
                                    "method 2 RecreateBitmap " + b + " rgb:" + i4 + "* sx:" + i2 + " sy:" + i2,
                                    "method 3 RecreateBitmapFromFile " + b + " pathname:" + bstr,
                                    "method 4 GetBitmapHandle " + i4,
                                    "method 5 SetBitmapHandle " + b + " hbm:" + i4,
                                }));
  EXPECT_EQ(DispidRecreateBitmap, 2);
  EXPECT_EQ(DispidRecreateBitmapFromFile, 3);
  EXPECT_EQ(DispidGetBitmapHandle, 4);
  EXPECT_EQ(DispidSetBitmapHandle, 5);
}

TEST(TavletTypeLibrary, TheEventInterfaceHasBmpChangeAndTheClassJoinsBoth) {
  TypeLibrary library = ModuleTypeLibrary();
  const TypeLibType* events = Find(library, "_DTavletEvents");
  ASSERT_NE(events, nullptr);
  EXPECT_EQ(events->guid, DIID__DTavletEvents);
  EXPECT_EQ(events->flags, 0);
  EXPECT_EQ(events->helpString, "Event interface for Tavlet Control");
  EXPECT_EQ(Members(*events), (std::vector<std::string>{"method " + std::to_string(EventidBmpChange) + " BmpChange " +
                                                        std::to_string(VT_VOID)}));

  const TypeLibType* coclass = Find(library, "Tavlet");
  ASSERT_NE(coclass, nullptr);
  EXPECT_EQ(coclass->kind, TKIND_COCLASS);
  EXPECT_EQ(coclass->guid, CLSID_Tavlet);
  EXPECT_EQ(coclass->flags, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
  EXPECT_EQ(coclass->helpString, "Tavlet Control");
  ASSERT_EQ(coclass->interfaces.size(), 2u);
  EXPECT_EQ(library.types[coclass->interfaces[0].type].name, "_DTavlet");
  EXPECT_EQ(coclass->interfaces[0].flags, IMPLTYPEFLAG_FDEFAULT);
  EXPECT_EQ(library.types[coclass->interfaces[1].type].name, "_DTavletEvents");
  EXPECT_EQ(coclass->interfaces[1].flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

}  // namespace
}  // namespace tavlet_test
