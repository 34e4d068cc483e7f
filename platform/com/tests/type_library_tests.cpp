#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/base/module.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/com_ptr.h"
#include "platform/com/tests/com_module_fixture.h"
#include "platform/com/type_library.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/temp_environment.h"

namespace kp::com::testing {
namespace {
std::string Text(BSTR s) {
  std::string t = s ? std::string(s, SysStringLen(s)) : std::string();
  SysFreeString(s);
  return t;
}

std::string LibraryKey() { return "TypeLib\\" + GuidToString(LIBID_TestControlLib); }

class TypeLibraryTest : public ComTest {
 protected:
  ComPtr<ITypeLib> Load() {
    ComPtr<ITypeLib> lib;
    EXPECT_EQ(LoadTypeLib(TestModulePath().c_str(), lib.put()), S_OK);
    return lib;
  }
  ComPtr<ITypeInfo> Info(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    ComPtr<ITypeLib> lib = Load();
    if (lib) {
      EXPECT_EQ(lib->GetTypeInfoOfGuid(guid, info.put()), S_OK);
    }
    return info;
  }
};

TEST_F(TypeLibraryTest, LoadsTheLibraryAModuleCarries) {
  ComPtr<ITypeLib> lib = Load();
  ASSERT_TRUE(lib);
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, LIBID_TestControlLib);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->wLibFlags, LIBFLAG_FCONTROL);
  lib->ReleaseTLibAttr(attr);
  BSTR name = nullptr, doc = nullptr, helpFile = nullptr;
  ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, &helpFile), S_OK);
  EXPECT_EQ(Text(name), "KestrowTestLib");
  EXPECT_EQ(Text(doc), "Kestrow test control module");
  EXPECT_EQ(Text(helpFile), "KestrowTest.hlp");
  EXPECT_EQ(lib->GetTypeInfoCount(), 3u);
  TYPEKIND kind{};
  ASSERT_EQ(lib->GetTypeInfoType(2, &kind), S_OK);
  EXPECT_EQ(kind, TKIND_COCLASS);
  ComPtr<ITypeInfo> missing;
  EXPECT_EQ(lib->GetTypeInfo(3, missing.put()), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(TypeLibraryTest, AnswersIdsOfNamesWithoutRegardToCase) {
  ComPtr<ITypeInfo> info = Info(DIID_DTestControl);
  ASSERT_TRUE(info);
  char member[] = "sumpixels", sx[] = "SX", rgb[] = "Rgb", nope[] = "Nope";
  LPOLESTR names[] = {member, sx, rgb};
  MEMBERID ids[3] = {};
  ASSERT_EQ(info->GetIDsOfNames(names, 3, ids), S_OK);
  EXPECT_EQ(ids[0], DispSumPixels);
  EXPECT_EQ(ids[1], 1);  // parameters are numbered from 0
  EXPECT_EQ(ids[2], 0);
  LPOLESTR unknownParameter[] = {member, nope};
  EXPECT_EQ(info->GetIDsOfNames(unknownParameter, 2, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DispSumPixels);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  LPOLESTR unknownMember[] = {nope};
  EXPECT_EQ(info->GetIDsOfNames(unknownMember, 1, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  char flag[] = "_FLAG";
  LPOLESTR property[] = {flag};
  ASSERT_EQ(info->GetIDsOfNames(property, 1, ids), S_OK);
  EXPECT_EQ(ids[0], DispFlagDefault);
}

TEST_F(TypeLibraryTest, DescribesMembersAndTheirTypes) {
  ComPtr<ITypeInfo> info = Info(DIID_DTestControl);
  ASSERT_TRUE(info);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr->cFuncs, 5);  // the methods
  EXPECT_EQ(attr->cVars, 2);   // the two properties
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDISPATCHABLE);
  info->ReleaseTypeAttr(attr);

  FUNCDESC* func = nullptr;
  ASSERT_EQ(info->GetFuncDesc(0, &func), S_OK);
  EXPECT_EQ(func->memid, DispSumPixels);
  EXPECT_EQ(func->invkind, INVOKE_FUNC);
  EXPECT_EQ(func->funckind, FUNC_DISPATCH);
  ASSERT_EQ(func->cParams, 3);
  EXPECT_EQ(func->lprgelemdescParam[0].tdesc.vt, VT_PTR);
  ASSERT_NE(func->lprgelemdescParam[0].tdesc.lptdesc, nullptr);
  EXPECT_EQ(func->lprgelemdescParam[0].tdesc.lptdesc->vt, VT_I4);
  EXPECT_EQ(func->lprgelemdescParam[1].tdesc.vt, VT_I2);
  EXPECT_EQ(func->elemdescFunc.tdesc.vt, VT_I4);
  info->ReleaseFuncDesc(func);

  VARDESC* var = nullptr;
  ASSERT_EQ(info->GetVarDesc(1, &var), S_OK);
  EXPECT_EQ(var->memid, DispFlagDefault);
  EXPECT_EQ(var->varkind, VAR_DISPATCH);
  EXPECT_EQ(var->elemdescVar.tdesc.vt, VT_BOOL);
  info->ReleaseVarDesc(var);
  EXPECT_EQ(info->GetVarDesc(2, &var), TYPE_E_ELEMENTNOTFOUND);

  BSTR names[4] = {};
  UINT count = 0;
  ASSERT_EQ(info->GetNames(DispSumPixels, names, 4, &count), S_OK);
  ASSERT_EQ(count, 4u);
  EXPECT_EQ(Text(names[0]), "SumPixels");
  EXPECT_EQ(Text(names[1]), "rgb");
  EXPECT_EQ(Text(names[2]), "sx");
  EXPECT_EQ(Text(names[3]), "sy");
  BSTR doc = nullptr;
  ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, nullptr, &doc, nullptr, nullptr), S_OK);
  EXPECT_EQ(Text(doc), "Dispatch interface for Test Control");
}

TEST_F(TypeLibraryTest, DescribesAClassAndItsInterfaces) {
  ComPtr<ITypeInfo> coclass = Info(CLSID_TestControl);
  ASSERT_TRUE(coclass);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->cImplTypes, 2);
  EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
  coclass->ReleaseTypeAttr(attr);
  INT flags = 0;
  ASSERT_EQ(coclass->GetImplTypeFlags(1, &flags), S_OK);
  EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
  HREFTYPE ref = 0;
  ASSERT_EQ(coclass->GetRefTypeOfImplType(1, &ref), S_OK);
  ComPtr<ITypeInfo> events;
  ASSERT_EQ(coclass->GetRefTypeInfo(ref, events.put()), S_OK);
  ASSERT_EQ(events->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, DIID_DTestControlEvents);
  events->ReleaseTypeAttr(attr);
  ComPtr<ITypeLib> containing;
  UINT index = 99;
  ASSERT_EQ(events->GetContainingTypeLib(containing.put(), &index), S_OK);
  EXPECT_EQ(index, 1u);
}

TEST_F(TypeLibraryTest, ReportsFilesThatHoldNoLibrary) {
  ComPtr<ITypeLib> lib;
  EXPECT_EQ(LoadTypeLib("/nonexistent/module.ocx", lib.put()), TYPE_E_CANTLOADLIBRARY);
  // A real module without a "TYPELIB" resource: the platform library.
  std::string platform = GetModuleFilePath(ModuleFromAddress(reinterpret_cast<const void*>(&SysAllocString)));
  EXPECT_EQ(LoadTypeLib(platform.c_str(), lib.put()), TYPE_E_CANTLOADLIBRARY);
  std::string folder = kp::testing::TemporaryRoot();
  std::ofstream(folder + "/junk.tlb") << "not a module";
  EXPECT_EQ(LoadTypeLib((folder + "/junk.tlb").c_str(), lib.put()), TYPE_E_CANTLOADLIBRARY);
  std::ofstream(folder + "/broken.tlb") << "kestrow-typelib 1\nlibrary";
  EXPECT_EQ(LoadTypeLib((folder + "/broken.tlb").c_str(), lib.put()), TYPE_E_INVDATAREAD);
  std::ofstream(folder + "/good.tlb")
      << "kestrow-typelib 1\nlibrary Text {00000000-0000-0000-0000-0000000000AA} 1.0\nend\n";
  EXPECT_EQ(LoadTypeLib((folder + "/good.tlb").c_str(), lib.put()), S_OK);
}

TEST_F(TypeLibraryTest, RegistersAndFindsTheLibraryThroughTheRegistry) {
  ComPtr<ITypeLib> lib = Load();
  ASSERT_EQ(RegisterTypeLib(lib.get(), TestModulePath().c_str(), nullptr), S_OK);
  std::string value;
  std::string platformKey = LibraryKey() + "\\1.0\\0\\" + TypeLibPlatformKey();
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, platformKey, "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, TestModulePath());
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, LibraryKey() + "\\1.0", "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "Kestrow test control module");
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, LibraryKey() + "\\1.0\\FLAGS", "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "2");
  std::string interfaceKey = "Interface\\" + GuidToString(DIID_DTestControlEvents);
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, interfaceKey, "", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, "_DTestControlEvents");
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, interfaceKey + "\\ProxyStubClsid32", "", &value),
            ERROR_SUCCESS);
  EXPECT_EQ(value, "{00020420-0000-0000-C000-000000000046}");
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT, interfaceKey + "\\TypeLib", "Version", &value),
            ERROR_SUCCESS);
  EXPECT_EQ(value, "1.0");

  struct Row {
    WORD major, minor;
    LCID lcid;
    HRESULT expected;
  } rows[] = {
      {1, 0, 0, S_OK},
      {1, 0, 0x0409, S_OK},  // falls back to the neutral locale
      {1, 1, 0, TYPE_E_LIBNOTREGISTERED},
      {2, 0, 0, TYPE_E_LIBNOTREGISTERED},
  };
  for (const Row& row : rows) {
    ComPtr<ITypeLib> found;
    EXPECT_EQ(LoadRegTypeLib(LIBID_TestControlLib, row.major, row.minor, row.lcid, found.put()), row.expected)
        << row.major << "." << row.minor << " lcid " << row.lcid;
  }
  ComPtr<ITypeLib> found;
  EXPECT_EQ(LoadRegTypeLib(DIID_DTestControl, 1, 0, 0, found.put()), TYPE_E_LIBNOTREGISTERED);
  EXPECT_EQ(RegisterTypeLib(lib.get(), "relative/path.ocx", nullptr), E_INVALIDARG);
}

TEST_F(TypeLibraryTest, UnregisteringRemovesEveryEntryAndAbsentEntriesCountAsRemoved) {
  ComPtr<ITypeLib> lib = Load();
  ASSERT_EQ(RegisterTypeLib(lib.get(), TestModulePath().c_str(), nullptr), S_OK);
  ASSERT_EQ(UnRegisterTypeLib(LIBID_TestControlLib, 1, 0, 0, SYS_WIN32), S_OK);
  std::vector<std::string> keys;
  EXPECT_EQ(kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, LibraryKey(), &keys), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, "Interface", &keys), ERROR_SUCCESS);
  EXPECT_TRUE(keys.empty());
  ComPtr<ITypeLib> found;
  EXPECT_EQ(LoadRegTypeLib(LIBID_TestControlLib, 1, 0, 0, found.put()), TYPE_E_LIBNOTREGISTERED);
  EXPECT_EQ(UnRegisterTypeLib(LIBID_TestControlLib, 1, 0, 0, SYS_WIN32), S_OK);
}

TEST_F(TypeLibraryTest, UnregisteringOneVersionKeepsAnother) {
  ComPtr<ITypeLib> lib = Load();
  ASSERT_EQ(RegisterTypeLib(lib.get(), TestModulePath().c_str(), nullptr), S_OK);
  std::string other = LibraryKey() + "\\1.a\\0\\" + TypeLibPlatformKey();
  ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, other, "", TestModulePath()), ERROR_SUCCESS);
  // The highest minor version registered is the one found.
  ComPtr<ITypeLib> found;
  EXPECT_EQ(LoadRegTypeLib(LIBID_TestControlLib, 1, 5, 0, found.put()), S_OK);
  ASSERT_EQ(UnRegisterTypeLib(LIBID_TestControlLib, 1, 0, 0, SYS_WIN32), S_OK);
  std::vector<std::string> versions;
  ASSERT_EQ(kp::registry::EnumerateSubkeys(HKEY_CLASSES_ROOT, LibraryKey(), &versions), ERROR_SUCCESS);
  EXPECT_EQ(versions, std::vector<std::string>{"1.a"});
}
}  // namespace
}  // namespace kp::com::testing
