#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/dispatch.h"
#include "platform/com/type_library.h"
#include "platform/testing/registry_snapshot.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_registry.h"
#include "tests/control/tavlet_host.h"

namespace tavlet_host {
namespace {

using namespace tavlet;
using kp::testing::RegistrySnapshot;
using kp::testing::RunProgram;

std::string ModulePath() {
  char resolved[PATH_MAX];
  return realpath(TAVLET_MODULE, resolved) != nullptr ? resolved : TAVLET_MODULE;
}

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Everything registering the module writes into an empty registry: the
// class table of the module and the type library's own registration.
std::vector<std::string> ExpectedRegistration() {
  const std::string path = ModulePath();
  const std::string c = "CLSID\\" + GuidToString(CLSID_Tavlet);
  const std::string p = "CLSID\\" + GuidToString(CLSID_TavletPropPage);
  const std::string lib = "TypeLib\\" + GuidToString(LIBID_TAVLETLib);
  const std::string libid = GuidToString(LIBID_TAVLETLib);
  const std::string ps = GuidToString(CLSID_PSDispatch);
  std::vector<std::string> lines = {
      "CLSID",
      c + " | @ = Tavlet Control",
      c + "\\Control | @ = ",
      c + "\\InprocServer32 | @ = " + path,
      c + "\\InprocServer32 | ThreadingModel = Apartment",
      c + "\\MiscStatus | @ = 0",
      c + "\\MiscStatus\\1 | @ = 131217",
      c + "\\ProgID | @ = TAVLET.TavletCtrl.1",
      c + "\\ToolboxBitmap32 | @ = " + path + ", 1",
      c + "\\TypeLib | @ = " + libid,
      c + "\\Version | @ = 1.0",
      p + " | @ = Tavlet Property Page",
      p + "\\InprocServer32 | @ = " + path,
      "TAVLET.TavletCtrl.1 | @ = Tavlet Control",
      "TAVLET.TavletCtrl.1\\CLSID | @ = " + GuidToString(CLSID_Tavlet),
      "TypeLib",
      lib,
      lib + "\\1.0 | @ = Tavlet ActiveX Control module",
      lib + "\\1.0\\0",
      lib + "\\1.0\\0\\" + kp::com::TypeLibPlatformKey() + " | @ = " + path,
      lib + "\\1.0\\FLAGS | @ = 2",
      lib + "\\1.0\\HELPDIR | @ = " + Folder(path),
      "Interface",
  };
  for (auto [iid, name] : {std::pair{DIID__DTavlet, "_DTavlet"}, std::pair{DIID__DTavletEvents, "_DTavletEvents"}}) {
    const std::string key = "Interface\\" + GuidToString(iid);
    lines.push_back(key + " | @ = " + name);
    lines.push_back(key + "\\ProxyStubClsid | @ = " + ps);
    lines.push_back(key + "\\ProxyStubClsid32 | @ = " + ps);
    lines.push_back(key + "\\TypeLib | @ = " + libid);
    lines.push_back(key + "\\TypeLib | Version = 1.0");
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

// A line that names anything of the module.
bool NamesTheModule(const std::string& line) {
  for (const GUID& id : {LIBID_TAVLETLib, DIID__DTavlet, DIID__DTavletEvents, CLSID_Tavlet, CLSID_TavletPropPage})
    if (line.find(GuidToString(id)) != std::string::npos) return true;
  return line.find("TAVLET") != std::string::npos || line.find("Tavlet") != std::string::npos;
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { kp::testing::UseFreshRegistry(); }
};

TEST_F(Registration, RegsvrWritesTheWholeTableAndRegisteringTwiceEqualsOnce) {
  ASSERT_EQ(RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  const std::vector<std::string> once = RegistrySnapshot();
  EXPECT_EQ(once, ExpectedRegistration());
  ASSERT_EQ(RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  EXPECT_EQ(RegistrySnapshot(), once);
}

TEST_F(Registration, RegsvrUninstallRemovesEveryEntryAndSucceedsAgain) {
  ASSERT_EQ(RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  ASSERT_EQ(RunProgram({REGSVR_PROGRAM, "-u", TAVLET_MODULE}).status, 0);
  std::vector<std::string> left;
  for (const std::string& line : RegistrySnapshot())
    if (NamesTheModule(line)) left.push_back(line);
  EXPECT_EQ(left, std::vector<std::string>{}) << "type library and interface keys included";
  EXPECT_EQ(RunProgram({REGSVR_PROGRAM, "-u", TAVLET_MODULE}).status, 0) << "absent keys count as removed";
  EXPECT_EQ(RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  EXPECT_EQ(RegistrySnapshot(), ExpectedRegistration()) << "and registering afterwards starts over";
}

TEST_F(Registration, TheRegisteredClassIsCreatableAndItsTypeLibraryLoads) {
  ASSERT_EQ(RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    kp::com::ComPtr<IUnknown> control;
    EXPECT_EQ(CoCreateInstance(CLSID_Tavlet, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.put_void()), S_OK);
    kp::com::ComPtr<ITypeLib> library;
    EXPECT_EQ(LoadRegTypeLib(LIBID_TAVLETLib, kTypeLibMajor, kTypeLibMinor, 0, library.put()), S_OK);
  }
  ASSERT_EQ(RunProgram({REGSVR_PROGRAM, "-u", TAVLET_MODULE}).status, 0);
  {
    kp::com::ComPtr<IUnknown> control;
    EXPECT_EQ(CoCreateInstance(CLSID_Tavlet, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.put_void()),
              REGDB_E_CLASSNOTREG);
  }
  CoUninitialize();
}

}  // namespace
}  // namespace tavlet_host
