// A local server program for the activation tests: no window system, the
// default poll loop. It registers one class for single use, serves the
// client that started it, and ends once that client has released the
// object (or after a minute without one). It writes what it saw, one line
// at a time, to the file named by KP_TEST_SERVER_LOG:
//   started <pid> <argument...>
//   socket <mode of the socket file, octal> <mode of its folder, octal>
//   created <pid>
//   ended <pid> released|timeout

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/fd_watch.h"
#include "platform/com/com_object.h"
#include "platform/com/com_runtime.h"
#include "platform/com/local_server.h"
#include "platform/com/tests/test_control_ids.h"

namespace {
int g_alive = 0;
bool g_created = false;

void Log(const std::string& line) {
  const char* path = std::getenv("KP_TEST_SERVER_LOG");
  if (path == nullptr) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

std::string Pid() { return std::to_string(::getpid()); }

// The automation object: Ping answers the server's process id, Echo gives
// back its string, anything else is not a member.
class ServerObject final : public kp::com::ComObject<kp::com::Implements<IDispatch, IID_IDispatch>> {
 public:
  ServerObject() { ++g_alive; }
  HRESULT GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = std::strcmp(names[i], "Ping") == 0 ? 1 : std::strcmp(names[i], "Echo") == 0 ? 2 : DISPID_UNKNOWN;
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                 UINT*) override {
    if (id == 1 && result != nullptr) {
      result->vt = VT_I4;
      result->lVal = static_cast<LONG>(::getpid());
      return S_OK;
    }
    if (id == 2 && params != nullptr && params->cArgs == 1 && params->rgvarg[0].vt == VT_BSTR && result != nullptr) {
      return VariantCopy(result, &params->rgvarg[0]);
    }
    if (id == 3 && exception != nullptr) {
      exception->scode = E_FAIL;
      exception->bstrDescription = SysAllocString("the server says no");
      return DISP_E_EXCEPTION;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  ~ServerObject() override { --g_alive; }
};

class ServerFactory final : public kp::com::ComObject<kp::com::Implements<IClassFactory, IID_IClassFactory>> {
 public:
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* object = new ServerObject();
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    if (SUCCEEDED(hr)) {
      g_created = true;
      Log("created " + Pid());
    }
    return hr;
  }
  HRESULT LockServer(BOOL) override { return S_OK; }

 private:
  void OnFinalRelease() override {}  // a local of main
};

std::string Octal(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%o", static_cast<unsigned>(mode & 07777));
  return text;
}
}  // namespace

int main(int argc, char** argv) {
  std::string started = "started " + Pid();
  for (int i = 1; i < argc; ++i) started += std::string(" ") + argv[i];
  Log(started);
  // What the client set up, seen from here before the runtime takes it.
  if (const char* socket = std::getenv(kp::com::wire::kActivationSocketVariable)) {
    std::string path = socket;
    struct stat file {}, folder {};
    if (::stat(path.c_str(), &file) == 0 && ::stat(path.substr(0, path.rfind('/')).c_str(), &folder) == 0)
      Log("socket " + Octal(file.st_mode) + " " + Octal(folder.st_mode));
  }
  CoInitialize(nullptr);
  ServerFactory factory;
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(kp::com::testing::CLSID_TestServer, &factory, CLSCTX_LOCAL_SERVER,
                                   REGCLS_SINGLEUSE, &cookie)))
    return 2;
  bool released = kp::RunFdLoopUntil([] { return g_created && g_alive == 0; }, 60000);
  Log("ended " + Pid() + (released ? " released" : " timeout"));
  CoRevokeClassObject(cookie);
  CoUninitialize();
  return 0;
}
