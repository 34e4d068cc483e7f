#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/afx/tests/automation_server/automation_server_ids.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/local_server_client.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "platform/testing/wait_for.h"

namespace automation_server {
namespace {

using kp::com::ComPtr;

std::string ServerPath() {
  char resolved[4096];
  return realpath(TEST_SERVER_PROGRAM, resolved) != nullptr ? resolved : TEST_SERVER_PROGRAM;
}

std::vector<std::string> ReadLog(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

using kp::testing::ProcessGone;
using kp::testing::WaitFor;

LONG ProcessIdOf(IDispatch* server) {
  LPOLESTR names[] = {const_cast<LPOLESTR>("GetProcessId")};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(server->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(server->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr), S_OK);
  return result.lVal;
}

class AutomationServer : public ::testing::Test {
 protected:
  void SetUp() override {
    kp::testing::UseFreshRegistry();
    kp::testing::InstallLocalServerClient();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    m_log = kp::testing::TemporaryRoot() + "/server-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    setenv("KP_TEST_SERVER_LOG", m_log.c_str(), 1);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  }
  void TearDown() override { CoUninitialize(); }
  std::string m_log;
};

TEST_F(AutomationServer, ANormalStartWritesTheLocalServerEntries) {
  ASSERT_EQ(kp::testing::RunProgram({ServerPath(), "-Register"}).status, 0);
  std::string value;
  ASSERT_EQ(kp::registry::GetStringValue(HKEY_CLASSES_ROOT,
                                         "CLSID\\" + GuidToString(CLSID_TestServer) + "\\LocalServer32", "", &value),
            ERROR_SUCCESS);
  EXPECT_EQ(value, ServerPath());
  CLSID fromProgId{};
  ASSERT_EQ(CLSIDFromProgID(kProgId, &fromProgId), S_OK);
  EXPECT_EQ(fromProgId, CLSID_TestServer);
}

TEST_F(AutomationServer, EachClientGetsAProgramOfItsOwnThatEndsWhenReleased) {
  ASSERT_EQ(kp::testing::RunProgram({ServerPath(), "-Register"}).status, 0);
  ComPtr<IDispatch> first, second;
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, first.put_void()), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, second.put_void()), S_OK);
  const pid_t firstPid = ProcessIdOf(first.get());
  const pid_t secondPid = ProcessIdOf(second.get());
  EXPECT_NE(firstPid, secondPid) << "a single-use class starts a program per client";
  EXPECT_FALSE(ProcessGone(firstPid)) << "the program stays while its client holds the object";

  first.Reset();
  EXPECT_TRUE(WaitFor([&] { return ProcessGone(firstPid); })) << "releasing the object ended that program";
  EXPECT_FALSE(ProcessGone(secondPid));
  second.Reset();
  EXPECT_TRUE(WaitFor([&] { return ProcessGone(secondPid); }));

  const std::string a = std::to_string(firstPid);
  std::vector<std::string> lines = ReadLog(m_log);
  auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  EXPECT_TRUE(has("created " + a));
  EXPECT_TRUE(has("destroyed " + a));
  EXPECT_TRUE(has("dialog ended " + a)) << "the last release closed the main window, ending its modal run";
}

}  // namespace
}  // namespace automation_server
