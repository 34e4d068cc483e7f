#pragma once
// The messages between a client and the local server it started, over the
// activation socket. Every message is a frame: a 32-bit little-endian
// length, then that many bytes, the first of which is the message type.
//
//   client -> server   Activate       class id, interface id
//   server -> client   Activated      result, server process id
//   client -> server   GetIDsOfNames  locale, names
//   server -> client   IDsOfNames     result, ids
//   client -> server   Invoke         dispid, locale, flags, named ids, arguments
//   server -> client   Invoked        result, value, argument error, exception
//
// Arguments and results travel by value: VT_EMPTY, VT_NULL, the integer and
// real types, VT_BOOL, VT_ERROR and VT_BSTR. Anything else (interfaces,
// references into the caller's memory) cannot cross a process and is
// refused with DISP_E_TYPEMISMATCH before it is sent.
//
// Decoding is a pure function over bytes that checks every length.

#include <span>
#include <string>
#include <vector>

#include "platform/com/dispatch.h"

namespace kp::com::wire {

// The environment variable that hands the socket's path to the program the
// client starts.
inline constexpr char kActivationSocketVariable[] = "KESTROW_COM_ACTIVATION_SOCKET";
inline constexpr std::size_t kMaxFrame = 1u << 20;
inline constexpr std::size_t kMaxNames = 64;
inline constexpr std::size_t kMaxArguments = 64;

enum class MessageType : BYTE {
  Activate = 1,
  Activated = 2,
  GetIDsOfNames = 3,
  IDsOfNames = 4,
  Invoke = 5,
  Invoked = 6,
};

struct ActivateRequest {
  CLSID clsid{};
  IID iid{};
};

struct ActivateReply {
  HRESULT result = E_FAIL;
  std::int32_t processId = 0;
};

struct NamesRequest {
  LCID lcid = 0;
  std::vector<std::string> names;
};

struct NamesReply {
  HRESULT result = E_FAIL;
  std::vector<DISPID> ids;
};

// Owns its argument variants and clears them when it goes.
struct InvokeRequest {
  InvokeRequest() = default;
  InvokeRequest(const InvokeRequest&) = delete;
  InvokeRequest& operator=(const InvokeRequest&) = delete;
  ~InvokeRequest();

  DISPID dispid = 0;
  LCID lcid = 0;
  WORD flags = 0;
  bool wantResult = false;
  std::vector<DISPID> named;
  std::vector<VARIANT> args;  // as in DISPPARAMS: last argument first
};

// Owns its result variant.
struct InvokeReply {
  InvokeReply();
  InvokeReply(const InvokeReply&) = delete;
  InvokeReply& operator=(const InvokeReply&) = delete;
  ~InvokeReply();

  HRESULT result = E_FAIL;
  VARIANT value;
  UINT argError = 0;
  WORD exceptionCode = 0;
  SCODE exceptionScode = 0;
  std::string exceptionSource;
  std::string exceptionDescription;
  std::string exceptionHelpFile;
  DWORD exceptionHelpContext = 0;
};

// True when the variant's type can cross the socket.
bool CanTravel(const VARIANT& v);

// Message bodies (type byte first); Encode fails with DISP_E_TYPEMISMATCH
// when a variant cannot travel.
std::vector<BYTE> Encode(const ActivateRequest& m);
std::vector<BYTE> Encode(const ActivateReply& m);
std::vector<BYTE> Encode(const NamesRequest& m);
std::vector<BYTE> Encode(const NamesReply& m);
HRESULT Encode(const InvokeRequest& m, std::vector<BYTE>& out);
HRESULT Encode(const InvokeReply& m, std::vector<BYTE>& out);

// The type of a message body, or 0 for an empty one.
BYTE TypeOf(std::span<const BYTE> body);
bool Decode(std::span<const BYTE> body, ActivateRequest& m);
bool Decode(std::span<const BYTE> body, ActivateReply& m);
bool Decode(std::span<const BYTE> body, NamesRequest& m);
bool Decode(std::span<const BYTE> body, NamesReply& m);
bool Decode(std::span<const BYTE> body, InvokeRequest& m);
bool Decode(std::span<const BYTE> body, InvokeReply& m);

// Collects bytes as they arrive and hands out whole frames.
class FrameBuffer {
 public:
  void Append(const BYTE* data, std::size_t size) { m_bytes.insert(m_bytes.end(), data, data + size); }
  enum class Result { Frame, NeedMore, Malformed };
  Result Next(std::vector<BYTE>& body);

 private:
  std::vector<BYTE> m_bytes;
};

// Sends one frame, whole; false when the peer is gone.
bool SendFrame(int fd, const std::vector<BYTE>& body);
// Waits for one whole frame, at most timeoutMs milliseconds (negative: no
// limit); false on timeout, hang-up, error or a frame over kMaxFrame.
// Bytes that arrive beyond the frame stay in `buffer` for the next call.
bool ReceiveFrame(int fd, FrameBuffer& buffer, std::vector<BYTE>& body, int timeoutMs);

}  // namespace kp::com::wire
