// The server side of local-server activation: class registrations, and the
// connection to the client that started this program, served from the
// event loop.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/base/fd_watch.h"
#include "platform/com/com_error_codes.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime_state.h"
#include "platform/com/local_server.h"

namespace kp::com {
namespace {
struct Registration {
  CLSID clsid;
  ComPtr<IUnknown> factory;
  DWORD flags;
  bool used = false;
};

// The one client that started this program, and the object made for it.
class ClientConnection {
 public:
  explicit ClientConnection(int fd) : m_fd(fd) {}
  ~ClientConnection() { ::close(m_fd); }
  ClientConnection(const ClientConnection&) = delete;
  ClientConnection& operator=(const ClientConnection&) = delete;

  int fd() const { return m_fd; }
  // Reads what has arrived and answers every whole request; false when the
  // client has hung up or sent something unreadable.
  bool OnReadable();

 private:
  bool Serve(const std::vector<BYTE>& body);
  bool Activate(const wire::ActivateRequest& request);
  bool GetIDsOfNames(const wire::NamesRequest& request);
  bool Invoke(wire::InvokeRequest& request);

  int m_fd;
  wire::FrameBuffer m_buffer;
  ComPtr<IUnknown> m_object;
  bool m_activated = false;
};

struct HostState {
  std::map<DWORD, Registration> registrations;
  DWORD nextCookie = 1;
  std::unique_ptr<ClientConnection> client;
};

HostState& Host() {
  static HostState state;
  return state;
}

// Ends the connection; releasing the object here is what lets the program
// end once its client is done with it.
void DropClient() {
  HostState& host = Host();
  if (!host.client) return;
  kp::UnwatchFd(host.client->fd());
  std::unique_ptr<ClientConnection> gone = std::move(host.client);
  gone.reset();
}

bool ClientConnection::OnReadable() {
  BYTE chunk[4096];
  ssize_t n = ::recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
  if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) return true;
  if (n <= 0) return false;
  m_buffer.Append(chunk, static_cast<std::size_t>(n));
  std::vector<BYTE> body;
  while (true) {
    switch (m_buffer.Next(body)) {
      case wire::FrameBuffer::Result::NeedMore: return true;
      case wire::FrameBuffer::Result::Malformed: return false;
      case wire::FrameBuffer::Result::Frame:
        if (!Serve(body)) return false;
        break;
    }
  }
}

bool ClientConnection::Serve(const std::vector<BYTE>& body) {
  switch (static_cast<wire::MessageType>(wire::TypeOf(body))) {
    case wire::MessageType::Activate: {
      wire::ActivateRequest request;
      return wire::Decode(body, request) && Activate(request);
    }
    case wire::MessageType::GetIDsOfNames: {
      wire::NamesRequest request;
      return wire::Decode(body, request) && GetIDsOfNames(request);
    }
    case wire::MessageType::Invoke: {
      wire::InvokeRequest request;
      return wire::Decode(body, request) && Invoke(request);
    }
    default: return false;
  }
}

bool ClientConnection::Activate(const wire::ActivateRequest& request) {
  if (m_activated) return false;
  m_activated = true;
  wire::ActivateReply reply;
  reply.processId = static_cast<std::int32_t>(::getpid());
  reply.result = CLASS_E_CLASSNOTAVAILABLE;
  for (auto& [cookie, registration] : Host().registrations) {
    if (registration.clsid != request.clsid || registration.used) continue;
    ComPtr<IClassFactory> factory;
    reply.result = registration.factory.As(IID_IClassFactory, factory);
    if (FAILED(reply.result)) break;
    if (registration.flags == REGCLS_SINGLEUSE) registration.used = true;
    reply.result = factory->CreateInstance(nullptr, request.iid, m_object.put_void());
    if (FAILED(reply.result)) m_object.Reset();
    break;
  }
  return wire::SendFrame(m_fd, wire::Encode(reply)) && SUCCEEDED(reply.result);
}

bool ClientConnection::GetIDsOfNames(const wire::NamesRequest& request) {
  wire::NamesReply reply;
  reply.ids.assign(request.names.size(), DISPID_UNKNOWN);
  ComPtr<IDispatch> dispatch;
  reply.result = m_object ? m_object.As(IID_IDispatch, dispatch) : E_UNEXPECTED;
  if (SUCCEEDED(reply.result) && !request.names.empty()) {
    std::vector<std::string> names = request.names;
    std::vector<LPOLESTR> pointers;
    for (std::string& n : names) pointers.push_back(n.data());
    reply.result = dispatch->GetIDsOfNames(IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()), request.lcid,
                                           reply.ids.data());
  }
  return wire::SendFrame(m_fd, wire::Encode(reply));
}

bool ClientConnection::Invoke(wire::InvokeRequest& request) {
  wire::InvokeReply reply;
  ComPtr<IDispatch> dispatch;
  reply.result = m_object ? m_object.As(IID_IDispatch, dispatch) : E_UNEXPECTED;
  if (SUCCEEDED(reply.result)) {
    DISPPARAMS params{request.args.data(), request.named.data(), static_cast<UINT>(request.args.size()),
                      static_cast<UINT>(request.named.size())};
    EXCEPINFO exception{};
    reply.result = dispatch->Invoke(request.dispid, IID_NULL, request.lcid, request.flags, &params,
                                    request.wantResult ? &reply.value : nullptr, &exception, &reply.argError);
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    auto text = [](BSTR s) { return s ? std::string(s, SysStringLen(s)) : std::string(); };
    reply.exceptionCode = exception.wCode;
    reply.exceptionScode = exception.scode;
    reply.exceptionSource = text(exception.bstrSource);
    reply.exceptionDescription = text(exception.bstrDescription);
    reply.exceptionHelpFile = text(exception.bstrHelpFile);
    reply.exceptionHelpContext = exception.dwHelpContext;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  std::vector<BYTE> body;
  if (FAILED(wire::Encode(reply, body))) {
    // A result that cannot travel (an interface, a reference) is refused.
    VariantClear(&reply.value);
    reply.result = DISP_E_TYPEMISMATCH;
    wire::Encode(reply, body);
  }
  return wire::SendFrame(m_fd, body);
}

// Connects to the client that started this program, once: the socket's
// path is taken out of the environment so that programs this one starts do
// not answer in its place.
void ConnectToStartingClient() {
  const char* path = std::getenv(wire::kActivationSocketVariable);
  if (path == nullptr) return;
  std::string socketPath = path;
  ::unsetenv(wire::kActivationSocketVariable);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) return;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return;
  }
  HostState& host = Host();
  host.client = std::make_unique<ClientConnection>(fd);
  // The request is answered from the event loop, once the program runs it.
  kp::WatchFd(fd, [] {
    HostState& state = Host();
    if (state.client && !state.client->OnReadable()) DropClient();
  });
}
}  // namespace

namespace detail {
void RevokeAllClassObjects() {
  // As on Windows, uninitialising also cuts the object off from its client.
  Host().registrations.clear();
  DropClient();
}
}  // namespace detail

}  // namespace kp::com

using namespace kp::com;

HRESULT CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext, DWORD flags, LPDWORD lpdwRegister) {
  if (lpdwRegister != nullptr) *lpdwRegister = 0;
  if (pUnk == nullptr || lpdwRegister == nullptr) return E_INVALIDARG;
  if (!(dwClsContext & CLSCTX_LOCAL_SERVER)) return E_INVALIDARG;
  if (!detail::IsInitialized()) return CO_E_NOTINITIALIZED;
  HostState& host = Host();
  DWORD cookie = host.nextCookie++;
  host.registrations.emplace(cookie, Registration{rclsid, ComPtr<IUnknown>::Share(pUnk), flags & ~REGCLS_SUSPENDED});
  *lpdwRegister = cookie;
  if (!host.client) ConnectToStartingClient();
  return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
  return Host().registrations.erase(dwRegister) == 1 ? S_OK : CO_E_OBJNOTREG;
}
