#include "platform/com/local_server_protocol.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace kp::com::wire {
namespace {
class Writer {
 public:
  explicit Writer(MessageType type) { U8(static_cast<BYTE>(type)); }
  void U8(BYTE v) { m_bytes.push_back(v); }
  void U16(WORD v) { Raw(&v, 2); }
  void U32(DWORD v) { Raw(&v, 4); }
  void I32(std::int32_t v) { Raw(&v, 4); }
  void Guid(const GUID& g) {
    U32(g.Data1);
    U16(g.Data2);
    U16(g.Data3);
    Raw(g.Data4, 8);
  }
  void Text(const char* data, std::size_t size) {
    U32(static_cast<DWORD>(size));
    Raw(data, size);
  }
  void Text(const std::string& s) { Text(s.data(), s.size()); }
  bool Variant(const VARIANT& v);
  std::vector<BYTE>& bytes() { return m_bytes; }

 private:
  // Little-endian, as every machine this builds for stores them.
  void Raw(const void* p, std::size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
  }
  std::vector<BYTE> m_bytes;
};

class Reader {
 public:
  explicit Reader(std::span<const BYTE> body, MessageType expected) : m_body(body) {
    if (U8() != static_cast<BYTE>(expected)) m_ok = false;
  }
  BYTE U8() {
    BYTE v = 0;
    Raw(&v, 1);
    return v;
  }
  WORD U16() {
    WORD v = 0;
    Raw(&v, 2);
    return v;
  }
  DWORD U32() {
    DWORD v = 0;
    Raw(&v, 4);
    return v;
  }
  std::int32_t I32() {
    std::int32_t v = 0;
    Raw(&v, 4);
    return v;
  }
  GUID Guid() {
    GUID g{};
    g.Data1 = U32();
    g.Data2 = U16();
    g.Data3 = U16();
    Raw(g.Data4, 8);
    return g;
  }
  std::string Text() {
    DWORD size = U32();
    if (!m_ok || size > m_body.size() - m_pos) {
      m_ok = false;
      return std::string();
    }
    std::string s(reinterpret_cast<const char*>(m_body.data() + m_pos), size);
    m_pos += size;
    return s;
  }
  // A count of items that each take at least `itemSize` bytes, so a count
  // the remaining bytes cannot hold is refused before anything is reserved.
  DWORD Count(std::size_t limit, std::size_t itemSize) {
    DWORD n = U32();
    if (n > limit || n * itemSize > m_body.size() - m_pos) m_ok = false;
    return m_ok ? n : 0;
  }
  bool Variant(VARIANT& v);
  bool Done() const { return m_ok && m_pos == m_body.size(); }
  bool ok() const { return m_ok; }

 private:
  void Raw(void* p, std::size_t n) {
    if (!m_ok || n > m_body.size() - m_pos) {
      m_ok = false;
      std::memset(p, 0, n);
      return;
    }
    std::memcpy(p, m_body.data() + m_pos, n);
    m_pos += n;
  }
  std::span<const BYTE> m_body;
  std::size_t m_pos = 0;
  bool m_ok = true;
};

// How many bytes each by-value type carries on the wire.
struct WireType {
  VARTYPE vt;
  std::size_t size;  // 0: no payload; SIZE_MAX: a length-prefixed string
};
constexpr std::size_t kString = static_cast<std::size_t>(-1);
// clang-format off
constexpr WireType kWireTypes[] = {
    {VT_EMPTY, 0}, {VT_NULL, 0},  {VT_I1, 1},   {VT_UI1, 1},  {VT_I2, 2},    {VT_UI2, 2},   {VT_BOOL, 2},
    {VT_I4, 4},    {VT_UI4, 4},   {VT_INT, 4},  {VT_UINT, 4}, {VT_ERROR, 4}, {VT_R4, 4},    {VT_R8, 8},
    {VT_BSTR, kString},
};
// clang-format on

const WireType* FindWireType(VARTYPE vt) {
  for (const WireType& t : kWireTypes)
    if (t.vt == vt) return &t;
  return nullptr;
}

bool Writer::Variant(const VARIANT& v) {
  const WireType* type = FindWireType(v.vt);
  if (type == nullptr) return false;
  U16(v.vt);
  if (type->size == kString)
    Text(v.bstrVal ? v.bstrVal : "", SysStringLen(v.bstrVal));
  else
    Raw(&v.lVal, type->size);
  return true;
}

bool Reader::Variant(VARIANT& v) {
  VariantInit(&v);
  VARTYPE vt = U16();
  const WireType* type = FindWireType(vt);
  if (!m_ok || type == nullptr) {
    m_ok = false;
    return false;
  }
  if (type->size == kString) {
    std::string text = Text();
    if (!m_ok) return false;
    BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (s == nullptr) {
      m_ok = false;
      return false;
    }
    v.bstrVal = s;
  } else {
    Raw(&v.lVal, type->size);
  }
  v.vt = vt;
  return m_ok;
}
}  // namespace

InvokeRequest::~InvokeRequest() {
  for (VARIANT& v : args) VariantClear(&v);
}

InvokeReply::InvokeReply() { VariantInit(&value); }

InvokeReply::~InvokeReply() { VariantClear(&value); }

bool CanTravel(const VARIANT& v) { return FindWireType(v.vt) != nullptr; }

std::vector<BYTE> Encode(const ActivateRequest& m) {
  Writer w(MessageType::Activate);
  w.Guid(m.clsid);
  w.Guid(m.iid);
  return std::move(w.bytes());
}

std::vector<BYTE> Encode(const ActivateReply& m) {
  Writer w(MessageType::Activated);
  w.I32(m.result);
  w.I32(m.processId);
  return std::move(w.bytes());
}

std::vector<BYTE> Encode(const NamesRequest& m) {
  Writer w(MessageType::GetIDsOfNames);
  w.U32(m.lcid);
  w.U32(static_cast<DWORD>(m.names.size()));
  for (const std::string& name : m.names) w.Text(name);
  return std::move(w.bytes());
}

std::vector<BYTE> Encode(const NamesReply& m) {
  Writer w(MessageType::IDsOfNames);
  w.I32(m.result);
  w.U32(static_cast<DWORD>(m.ids.size()));
  for (DISPID id : m.ids) w.I32(id);
  return std::move(w.bytes());
}

HRESULT Encode(const InvokeRequest& m, std::vector<BYTE>& out) {
  Writer w(MessageType::Invoke);
  w.I32(m.dispid);
  w.U32(m.lcid);
  w.U16(m.flags);
  w.U8(m.wantResult ? 1 : 0);
  w.U32(static_cast<DWORD>(m.named.size()));
  for (DISPID id : m.named) w.I32(id);
  w.U32(static_cast<DWORD>(m.args.size()));
  for (const VARIANT& v : m.args)
    if (!w.Variant(v)) return DISP_E_TYPEMISMATCH;
  out = std::move(w.bytes());
  return S_OK;
}

HRESULT Encode(const InvokeReply& m, std::vector<BYTE>& out) {
  Writer w(MessageType::Invoked);
  w.I32(m.result);
  if (!w.Variant(m.value)) return DISP_E_TYPEMISMATCH;
  w.U32(m.argError);
  w.U16(m.exceptionCode);
  w.I32(m.exceptionScode);
  w.Text(m.exceptionSource);
  w.Text(m.exceptionDescription);
  w.Text(m.exceptionHelpFile);
  w.U32(m.exceptionHelpContext);
  out = std::move(w.bytes());
  return S_OK;
}

BYTE TypeOf(std::span<const BYTE> body) { return body.empty() ? 0 : body[0]; }

bool Decode(std::span<const BYTE> body, ActivateRequest& m) {
  Reader r(body, MessageType::Activate);
  m.clsid = r.Guid();
  m.iid = r.Guid();
  return r.Done();
}

bool Decode(std::span<const BYTE> body, ActivateReply& m) {
  Reader r(body, MessageType::Activated);
  m.result = r.I32();
  m.processId = r.I32();
  return r.Done();
}

bool Decode(std::span<const BYTE> body, NamesRequest& m) {
  Reader r(body, MessageType::GetIDsOfNames);
  m.lcid = r.U32();
  DWORD count = r.Count(kMaxNames, 4);
  m.names.clear();
  for (DWORD i = 0; i < count && r.ok(); ++i) m.names.push_back(r.Text());
  return r.Done();
}

bool Decode(std::span<const BYTE> body, NamesReply& m) {
  Reader r(body, MessageType::IDsOfNames);
  m.result = r.I32();
  DWORD count = r.Count(kMaxNames, 4);
  m.ids.clear();
  for (DWORD i = 0; i < count && r.ok(); ++i) m.ids.push_back(r.I32());
  return r.Done();
}

bool Decode(std::span<const BYTE> body, InvokeRequest& m) {
  Reader r(body, MessageType::Invoke);
  m.dispid = r.I32();
  m.lcid = r.U32();
  m.flags = r.U16();
  BYTE wantResult = r.U8();
  m.wantResult = wantResult == 1;
  DWORD named = r.Count(kMaxArguments, 4);
  m.named.clear();
  for (DWORD i = 0; i < named && r.ok(); ++i) m.named.push_back(r.I32());
  DWORD count = r.Count(kMaxArguments, 2);
  for (VARIANT& v : m.args) VariantClear(&v);
  m.args.clear();
  for (DWORD i = 0; i < count && r.ok(); ++i) {
    VARIANT v;
    if (r.Variant(v)) m.args.push_back(v);
  }
  return r.Done() && wantResult <= 1 && m.named.size() <= m.args.size();
}

bool Decode(std::span<const BYTE> body, InvokeReply& m) {
  Reader r(body, MessageType::Invoked);
  m.result = r.I32();
  VariantClear(&m.value);
  r.Variant(m.value);
  m.argError = r.U32();
  m.exceptionCode = r.U16();
  m.exceptionScode = r.I32();
  m.exceptionSource = r.Text();
  m.exceptionDescription = r.Text();
  m.exceptionHelpFile = r.Text();
  m.exceptionHelpContext = r.U32();
  return r.Done();
}

bool SendFrame(int fd, const std::vector<BYTE>& body) {
  if (body.size() > kMaxFrame) return false;
  std::vector<BYTE> frame(4 + body.size());
  auto size = static_cast<std::uint32_t>(body.size());
  std::memcpy(frame.data(), &size, 4);
  if (!body.empty()) std::memcpy(frame.data() + 4, body.data(), body.size());
  std::size_t sent = 0;
  while (sent < frame.size()) {
    // MSG_NOSIGNAL: a peer that is gone is an error result, not SIGPIPE.
    ssize_t n = ::send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd, POLLOUT, 0};
      ::poll(&p, 1, 1000);
      continue;
    }
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReceiveFrame(int fd, FrameBuffer& buffer, std::vector<BYTE>& body, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  while (true) {
    switch (buffer.Next(body)) {
      case FrameBuffer::Result::Frame: return true;
      case FrameBuffer::Result::Malformed: return false;
      case FrameBuffer::Result::NeedMore: break;
    }
    int wait = -1;
    if (timeoutMs >= 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      wait = static_cast<int>(left);
    }
    pollfd p{fd, POLLIN, 0};
    int ready = ::poll(&p, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    BYTE chunk[4096];
    ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer.Append(chunk, static_cast<std::size_t>(n));
  }
}

FrameBuffer::Result FrameBuffer::Next(std::vector<BYTE>& body) {
  if (m_bytes.size() < 4) return Result::NeedMore;
  std::uint32_t size = 0;
  std::memcpy(&size, m_bytes.data(), 4);
  if (size > kMaxFrame) return Result::Malformed;
  if (m_bytes.size() - 4 < size) return Result::NeedMore;
  body.assign(m_bytes.begin() + 4, m_bytes.begin() + 4 + size);
  m_bytes.erase(m_bytes.begin(), m_bytes.begin() + 4 + size);
  return Result::Frame;
}

}  // namespace kp::com::wire
