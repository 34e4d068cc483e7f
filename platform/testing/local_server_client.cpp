// The client side of local-server activation: starting the server program,
// asking it for the object, and the proxy that stands for the object. Only
// tests are clients of local servers, so it is here and not in the runtime.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/com/com_error_codes.h"
#include "platform/com/com_object.h"
#include "platform/com/local_server.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/child_reaper.h"
#include "platform/testing/local_server_client.h"

extern char** environ;

namespace kp::com {
namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kActivationTimeout = std::chrono::seconds(30);
constexpr int kPollSlice = 50;

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// CLSID\{clsid}\LocalServer32 (default), split into the program and its
// arguments: the whole value is the program, unless it starts with a
// double quote, in which case the quoted part is the program and the words
// after it are arguments.
HRESULT ReadLocalServerCommand(REFCLSID clsid, std::vector<std::string>* command) {
  std::string value;
  LONG result = registry::GetStringValue(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(clsid) + "\\LocalServer32", "",
                                         &value);
  if (result == ERROR_FILE_NOT_FOUND || result == ERROR_INVALID_DATA) return REGDB_E_CLASSNOTREG;
  if (result != ERROR_SUCCESS) return REGDB_E_READREGDB;
  command->clear();
  if (!value.empty() && value[0] == '"') {
    std::size_t close = value.find('"', 1);
    if (close == std::string::npos) return REGDB_E_CLASSNOTREG;
    command->push_back(value.substr(1, close - 1));
    for (std::string& word : SplitWords(value.substr(close + 1))) command->push_back(std::move(word));
  } else {
    command->push_back(value);
  }
  if (command->front().empty()) return REGDB_E_CLASSNOTREG;
  return S_OK;
}

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

// A socket in a private folder, both removed when this goes.
class ActivationSocket {
 public:
  ~ActivationSocket() { Remove(); }

  bool Create() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && TryIn(runtime)) return true;
    return TryIn("/tmp");
  }

  const std::string& path() const { return m_path; }
  int fd() const { return m_fd; }

  // The socket file is needed only until the server has connected.
  void Remove() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_path.empty()) ::unlink(m_path.c_str());
    if (!m_folder.empty()) ::rmdir(m_folder.c_str());
    m_path.clear();
    m_folder.clear();
  }

 private:
  bool TryIn(const std::string& base) {
    std::string folder = base + "/kestrow-com-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) return false;  // made with mode 0700
    m_folder = folder;
    m_path = folder + "/activation";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_path.size() >= sizeof address.sun_path) {
      Remove();
      return false;
    }
    std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // The folder already keeps others out; the socket itself is made
    // owner-only as well before anyone is told where it is.
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(m_path.c_str(), 0600) != 0 || ::listen(m_fd, 1) != 0) {
      Remove();
      return false;
    }
    return true;
  }

  int m_fd = -1;
  std::string m_path;
  std::string m_folder;
};

// The started program, killed and reaped unless handed on.
class ServerProcess {
 public:
  ~ServerProcess() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      int status = 0;
      ::waitpid(m_pid, &status, 0);
    }
  }

  bool Start(const std::vector<std::string>& command, const std::string& socketPath) {
    std::vector<std::string> args = command;
    args.push_back("-Embedding");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string variable = std::string(wire::kActivationSocketVariable) + "=" + socketPath;
    std::vector<char*> envp;
    std::size_t nameLength = std::strlen(wire::kActivationSocketVariable);
    for (char** e = environ; *e != nullptr; ++e)
      if (std::strncmp(*e, wire::kActivationSocketVariable, nameLength) != 0 || (*e)[nameLength] != '=')
        envp.push_back(*e);
    envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, args[0].c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return false;
    m_pid = pid;
    return true;
  }

  // True when the program has ended (it is then reaped).
  bool Ended() {
    int status = 0;
    if (m_pid <= 0) return true;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_pid = 0;
      return true;
    }
    return false;
  }

  pid_t Release() {
    pid_t pid = m_pid;
    m_pid = 0;
    return pid;
  }

 private:
  pid_t m_pid = 0;
};

// Waits until `fd` is readable, watching the server program as it does;
// false when the program ended or the deadline passed.
bool WaitReadable(int fd, ServerProcess& server, Clock::time_point deadline) {
  while (true) {
    pollfd p{fd, POLLIN, 0};
    int wait = std::min(kPollSlice, MillisecondsLeft(deadline));
    int ready = ::poll(&p, 1, wait);
    if (ready > 0) return true;
    if (server.Ended()) return false;
    if (MillisecondsLeft(deadline) == 0) return false;
  }
}

// The client's stand-in for the object in the server: IUnknown and
// IDispatch, forwarded over the connection it owns.
class LocalServerProxy final : public ComObject<Implements<IDispatch, IID_IDispatch>> {
 public:
  LocalServerProxy(int connection, wire::FrameBuffer buffer, pid_t server)
      : m_connection(connection), m_buffer(std::move(buffer)), m_server(server) {}

  HRESULT GetTypeInfoCount(UINT* pctinfo) override {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo != nullptr) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
  }

  HRESULT GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override {
    if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0 || cNames > wire::kMaxNames) return E_INVALIDARG;
    wire::NamesRequest request;
    request.lcid = lcid;
    for (UINT i = 0; i < cNames; ++i) request.names.emplace_back(rgszNames[i] ? rgszNames[i] : "");
    std::vector<BYTE> reply;
    if (!Call(wire::Encode(request), reply)) return RPC_E_DISCONNECTED;
    wire::NamesReply answer;
    if (!wire::Decode(reply, answer) || answer.ids.size() != cNames) return RPC_E_DISCONNECTED;
    for (UINT i = 0; i < cNames; ++i) rgDispId[i] = answer.ids[i];
    return answer.result;
  }

  HRESULT Invoke(DISPID dispIdMember, REFIID, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                 EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    wire::InvokeRequest request;
    request.dispid = dispIdMember;
    request.lcid = lcid;
    request.flags = wFlags;
    request.wantResult = pVarResult != nullptr;
    if (pDispParams != nullptr) {
      if (pDispParams->cArgs > wire::kMaxArguments || pDispParams->cNamedArgs > pDispParams->cArgs)
        return E_INVALIDARG;
      for (UINT i = 0; i < pDispParams->cNamedArgs; ++i) request.named.push_back(pDispParams->rgdispidNamedArgs[i]);
      for (UINT i = 0; i < pDispParams->cArgs; ++i) {
        // Only values cross a process: a pointer into this one means
        // nothing in the server.
        if (!wire::CanTravel(pDispParams->rgvarg[i])) {
          if (puArgErr != nullptr) *puArgErr = i;
          return DISP_E_TYPEMISMATCH;
        }
        VARIANT copy;
        VariantInit(&copy);
        VariantCopy(&copy, &pDispParams->rgvarg[i]);
        request.args.push_back(copy);
      }
    }
    std::vector<BYTE> body;
    HRESULT hr = wire::Encode(request, body);
    if (FAILED(hr)) return hr;
    std::vector<BYTE> reply;
    if (!Call(body, reply)) return RPC_E_DISCONNECTED;
    wire::InvokeReply answer;
    if (!wire::Decode(reply, answer)) return RPC_E_DISCONNECTED;
    if (pVarResult != nullptr) {
      VariantClear(pVarResult);
      *pVarResult = answer.value;
      VariantInit(&answer.value);
    }
    if (puArgErr != nullptr) *puArgErr = answer.argError;
    if (answer.result == DISP_E_EXCEPTION && pExcepInfo != nullptr) {
      std::memset(pExcepInfo, 0, sizeof *pExcepInfo);
      pExcepInfo->wCode = answer.exceptionCode;
      pExcepInfo->scode = answer.exceptionScode;
      pExcepInfo->bstrSource = SysAllocString(answer.exceptionSource.c_str());
      pExcepInfo->bstrDescription = SysAllocString(answer.exceptionDescription.c_str());
      pExcepInfo->bstrHelpFile = SysAllocString(answer.exceptionHelpFile.c_str());
      pExcepInfo->dwHelpContext = answer.exceptionHelpContext;
    }
    return answer.result;
  }

 private:
  ~LocalServerProxy() override {
    // Hanging up is how the server learns the object is released.
    ::close(m_connection);
    ReapChildWhenDone(m_server);
  }

  bool Call(const std::vector<BYTE>& request, std::vector<BYTE>& reply) {
    if (m_broken) return false;
    if (!wire::SendFrame(m_connection, request) || !wire::ReceiveFrame(m_connection, m_buffer, reply, -1)) {
      m_broken = true;
      return false;
    }
    return true;
  }

  int m_connection;
  wire::FrameBuffer m_buffer;
  pid_t m_server;
  bool m_broken = false;
};

HRESULT Activate(const std::vector<std::string>& command, REFCLSID clsid, REFIID riid, void** ppv) {
  ReapFinishedChildren();
  ActivationSocket socket;
  if (!socket.Create()) return CO_E_SERVER_EXEC_FAILURE;
  ServerProcess server;
  if (!server.Start(command, socket.path())) return CO_E_SERVER_EXEC_FAILURE;
  auto deadline = Clock::now() + kActivationTimeout;
  if (!WaitReadable(socket.fd(), server, deadline)) return CO_E_SERVER_EXEC_FAILURE;
  int connection = ::accept4(socket.fd(), nullptr, nullptr, SOCK_CLOEXEC);
  socket.Remove();
  if (connection < 0) return CO_E_SERVER_EXEC_FAILURE;
  wire::FrameBuffer buffer;
  std::vector<BYTE> reply;
  wire::ActivateReply answer;
  bool answered = wire::SendFrame(connection, wire::Encode(wire::ActivateRequest{clsid, riid})) &&
                  WaitReadable(connection, server, deadline) &&
                  wire::ReceiveFrame(connection, buffer, reply, MillisecondsLeft(deadline)) &&
                  wire::Decode(reply, answer);
  if (!answered) {
    ::close(connection);
    return CO_E_SERVER_EXEC_FAILURE;
  }
  if (FAILED(answer.result)) {
    ::close(connection);
    // The server ends by itself once its client hangs up.
    ReapChildWhenDone(server.Release());
    return answer.result;
  }
  auto* proxy = new LocalServerProxy(connection, std::move(buffer), server.Release());
  HRESULT hr = proxy->QueryInterface(riid, ppv);
  proxy->Release();
  return hr;
}

// The class object of a local server class: every CreateInstance starts a
// new process.
class LocalClassFactory final : public ComObject<Implements<IClassFactory, IID_IClassFactory>> {
 public:
  LocalClassFactory(const CLSID& clsid, std::vector<std::string> command)
      : m_clsid(clsid), m_command(std::move(command)) {}

  HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    return Activate(m_command, m_clsid, riid, ppvObject);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }

 private:
  ~LocalClassFactory() override = default;

  CLSID m_clsid;
  std::vector<std::string> m_command;
};

HRESULT GetLocalServerClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  std::vector<std::string> command;
  HRESULT hr = ReadLocalServerCommand(clsid, &command);
  if (FAILED(hr)) return hr;
  auto* factory = new LocalClassFactory(clsid, std::move(command));
  hr = factory->QueryInterface(riid, ppv);
  factory->Release();
  return hr;
}
}  // namespace
}  // namespace kp::com

namespace kp::testing {
void InstallLocalServerClient() { kp::com::SetLocalServerActivator(&kp::com::GetLocalServerClassObject); }
}  // namespace kp::testing
