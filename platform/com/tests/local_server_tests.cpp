#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/fd_watch.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/local_server.h"
#include "platform/com/tests/com_module_fixture.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/local_server_client.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/wait_for.h"

namespace kp::com::testing {
namespace {
using kp::testing::ProcessGone;

class LocalServer : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    kp::testing::InstallLocalServerClient();
    m_log = kp::testing::TemporaryRoot() + "/server-" + std::to_string(++m_count) + ".log";
    ::setenv("KP_TEST_SERVER_LOG", m_log.c_str(), 1);
    ASSERT_EQ(RegisterServer(LOCAL_TEST_SERVER), ERROR_SUCCESS);
  }
  void TearDown() override {
    ::unsetenv("KP_TEST_SERVER_LOG");
    ComTest::TearDown();
  }

  static LONG RegisterServer(const std::string& command) {
    return kp::registry::SetStringValue(HKEY_CLASSES_ROOT,
                                        "CLSID\\" + GuidToString(CLSID_TestServer) + "\\LocalServer32", "", command);
  }

  std::vector<std::string> LogLines() const {
    std::ifstream in(m_log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  static pid_t Ping(IDispatch* server) {
    char name[] = "Ping";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    if (FAILED(server->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return 0;
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (FAILED(server->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr))) return 0;
    return result.vt == VT_I4 ? static_cast<pid_t>(result.lVal) : 0;
  }

  std::string m_log;
  static inline int m_count = 0;
};

TEST_F(LocalServer, StartsTheServerWhichLivesWhileTheClientHoldsTheObject) {
  ComPtr<IDispatch> server;
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, server.put_void()), S_OK);
  pid_t pid = Ping(server.get());
  ASSERT_GT(pid, 0);
  EXPECT_NE(pid, ::getpid());
  std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "started " + std::to_string(pid) + " -Embedding");
  EXPECT_EQ(lines[2], "created " + std::to_string(pid));
  // The server asks whether to end after each call it serves; a call
  // answered after another shows that it asked while the object was held,
  // and stayed.
  EXPECT_EQ(Ping(server.get()), pid);
  EXPECT_EQ(Ping(server.get()), pid);
  EXPECT_FALSE(ProcessGone(pid));
  EXPECT_EQ(LogLines().size(), 3u) << "nothing logged after \"created\": it did not end";

  server.Reset();
  // The process ends and is reaped by this one, through its event loop.
  EXPECT_TRUE(kp::testing::WaitFor([&] { return ProcessGone(pid); }));
  EXPECT_EQ(LogLines().back(), "ended " + std::to_string(pid) + " released");
}

TEST_F(LocalServer, TheSocketIsTheOwnersAlone) {
  ComPtr<IDispatch> server;
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, server.put_void()), S_OK);
  std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  // As the server saw them: the socket 0600, in a folder of mode 0700.
  EXPECT_EQ(lines[1], "socket 600 700");
  // Nothing is left behind in the runtime folder once connected.
  std::string runtime = std::getenv("XDG_RUNTIME_DIR");
  for (const auto& entry : std::filesystem::directory_iterator(runtime))
    EXPECT_EQ(entry.path().filename().string().rfind("kestrow-com-", 0), std::string::npos) << entry.path();
}

TEST_F(LocalServer, EachActivationStartsItsOwnProcess) {
  ComPtr<IDispatch> first, second;
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, first.put_void()), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, second.put_void()), S_OK);
  pid_t a = Ping(first.get()), b = Ping(second.get());
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  EXPECT_NE(a, b);
  first.Reset();
  EXPECT_TRUE(kp::testing::WaitFor([&] { return ProcessGone(a); }));
  EXPECT_FALSE(ProcessGone(b));
  EXPECT_EQ(Ping(second.get()), b);
  second.Reset();
  EXPECT_TRUE(kp::testing::WaitFor([&] { return ProcessGone(b); }));
}

TEST_F(LocalServer, ForwardsCallsAndAnswersWhatTheObjectDoesNotHave) {
  ComPtr<IDispatch> server;
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, server.put_void()), S_OK);
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString("across the socket");
  DISPPARAMS params{&text, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(server->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(result.vt, VT_BSTR);
  EXPECT_STREQ(result.bstrVal, "across the socket");
  VariantClear(&result);
  VariantClear(&text);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(server->Invoke(42, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
  EXCEPINFO exception{};
  EXPECT_EQ(server->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &none, &result, &exception, nullptr), DISP_E_EXCEPTION);
  EXPECT_STREQ(exception.bstrDescription, "the server says no");
  EXPECT_EQ(exception.scode, E_FAIL);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  char unknown[] = "Unknown";
  LPOLESTR names[] = {unknown};
  DISPID id = 0;
  EXPECT_EQ(server->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  // A pointer into this process cannot be sent.
  LONG pixels[2] = {1, 2};
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = pixels;
  DISPPARAMS byRef{&ref, nullptr, 1, 0};
  EXPECT_EQ(server->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &byRef, &result, nullptr, nullptr), DISP_E_TYPEMISMATCH);
  ComPtr<IUnknown> unknownItf;
  EXPECT_EQ(server.As(IID_IUnknown, unknownItf), S_OK);
  ComPtr<IClassFactory> notThere;
  EXPECT_EQ(server.As(IID_IClassFactory, notThere), E_NOINTERFACE);
}

TEST_F(LocalServer, FailsEarlyWhenTheServerProgramEndsOrCannotStart) {
  ASSERT_EQ(RegisterServer("/bin/true"), ERROR_SUCCESS);
  ComPtr<IDispatch> server;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, server.put_void()),
            CO_E_SERVER_EXEC_FAILURE);
  // Well before the 30 seconds a silent server would be given.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  ASSERT_EQ(RegisterServer("/nonexistent/kestrow"), ERROR_SUCCESS);
  EXPECT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, server.put_void()),
            CO_E_SERVER_EXEC_FAILURE);
  // Arguments after a quoted program are passed before "-Embedding".
  ASSERT_EQ(RegisterServer(std::string("\"") + LOCAL_TEST_SERVER + "\" -Automation"), ERROR_SUCCESS);
  ASSERT_EQ(CoCreateInstance(CLSID_TestServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, server.put_void()), S_OK);
  pid_t pid = Ping(server.get());
  EXPECT_EQ(LogLines().at(0), "started " + std::to_string(pid) + " -Automation -Embedding");
  server.Reset();
  EXPECT_TRUE(kp::testing::WaitFor([&] { return ProcessGone(pid); }));
}

TEST_F(LocalServer, ARegistrationIsServedFromTheEventLoopNotInsideTheCall) {
  // As a server program: the client's socket is named in the environment.
  std::string folder = kp::testing::TemporaryRoot() + "/fake-client";
  std::filesystem::create_directories(folder);
  std::string path = folder + "/activation";
  int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 1), 0);
  ::setenv(wire::kActivationSocketVariable, path.c_str(), 1);

  struct Factory final : ComObject<Implements<IClassFactory, IID_IClassFactory>> {
    int made = 0;
    void OnFinalRelease() override {}  // a local of the test
    HRESULT CreateInstance(IUnknown*, REFIID, void** ppv) override {
      ++made;
      *ppv = nullptr;
      return E_OUTOFMEMORY;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
  } factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_TestServer, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie), S_OK);
  EXPECT_EQ(std::getenv(wire::kActivationSocketVariable), nullptr);
  int client = ::accept(listener, nullptr, nullptr);
  ASSERT_GE(client, 0);
  ASSERT_TRUE(wire::SendFrame(client, wire::Encode(wire::ActivateRequest{CLSID_TestServer, IID_IDispatch})));
  EXPECT_EQ(factory.made, 0);  // nothing happens until the loop runs
  EXPECT_TRUE(kp::RunFdLoopUntil([&] { return factory.made == 1; }, 5000));
  wire::FrameBuffer buffer;
  std::vector<BYTE> reply;
  ASSERT_TRUE(wire::ReceiveFrame(client, buffer, reply, 5000));
  wire::ActivateReply answer;
  ASSERT_TRUE(wire::Decode(reply, answer));
  EXPECT_EQ(answer.result, E_OUTOFMEMORY);
  EXPECT_EQ(answer.processId, ::getpid());
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
  ::close(client);
  ::close(listener);
}
}  // namespace
}  // namespace kp::com::testing
