#include "platform/com/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/com/com_error_codes.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"

namespace kp::com {
namespace {
// The bytes are shared by a stream and its clones; each has its own
// position, as Clone promises.
class MemoryStream final : public ComObject<Implements<IStream, IID_ISequentialStream, IID_IStream>> {
 public:
  explicit MemoryStream(std::shared_ptr<std::vector<BYTE>> bytes) : m_bytes(std::move(bytes)) {}

  HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pv == nullptr && cb != 0) return STG_E_INVALIDPOINTER;
    std::size_t size = m_bytes->size();
    std::size_t count = m_position >= size ? 0 : std::min<std::size_t>(cb, size - m_position);
    if (count) std::memcpy(pv, m_bytes->data() + m_position, count);
    m_position += count;
    if (pcbRead) *pcbRead = static_cast<ULONG>(count);
    return S_OK;
  }

  HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pv == nullptr && cb != 0) return STG_E_INVALIDPOINTER;
    if (pcbWritten) *pcbWritten = 0;
    if (m_position > kMaxSize - cb) return STG_E_MEDIUMFULL;
    std::size_t end = static_cast<std::size_t>(m_position) + cb;
    if (end > m_bytes->size()) m_bytes->resize(end);  // a gap after a seek reads as zeros
    if (cb) std::memcpy(m_bytes->data() + m_position, pv, cb);
    m_position = end;
    if (pcbWritten) *pcbWritten = cb;
    return S_OK;
  }

  HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
    LONGLONG base = 0;
    if (dwOrigin == STREAM_SEEK_CUR)
      base = static_cast<LONGLONG>(m_position);
    else if (dwOrigin == STREAM_SEEK_END)
      base = static_cast<LONGLONG>(m_bytes->size());
    else if (dwOrigin != STREAM_SEEK_SET)
      return STG_E_INVALIDFUNCTION;
    LONGLONG move = dlibMove.QuadPart;
    if ((move < 0 && base + move < 0) || (move > 0 && move > static_cast<LONGLONG>(kMaxSize) - base))
      return STG_E_INVALIDFUNCTION;
    m_position = static_cast<ULONGLONG>(base + move);
    if (plibNewPosition) plibNewPosition->QuadPart = m_position;
    return S_OK;
  }

  HRESULT SetSize(ULARGE_INTEGER libNewSize) override {
    if (libNewSize.QuadPart > kMaxSize) return STG_E_MEDIUMFULL;
    m_bytes->resize(static_cast<std::size_t>(libNewSize.QuadPart));
    return S_OK;
  }

  HRESULT CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override {
    if (pstm == nullptr) return STG_E_INVALIDPOINTER;
    std::size_t size = m_bytes->size();
    std::size_t available = m_position >= size ? 0 : size - m_position;
    std::size_t count = static_cast<std::size_t>(std::min<ULONGLONG>(cb.QuadPart, available));
    count = std::min<std::size_t>(count, std::numeric_limits<ULONG>::max());
    // Copy out first: the target may be a clone sharing these bytes.
    std::vector<BYTE> chunk(m_bytes->begin() + static_cast<std::ptrdiff_t>(m_position),
                            m_bytes->begin() + static_cast<std::ptrdiff_t>(m_position + count));
    m_position += count;
    ULONG written = 0;
    HRESULT hr = pstm->Write(chunk.data(), static_cast<ULONG>(count), &written);
    if (pcbRead) pcbRead->QuadPart = count;
    if (pcbWritten) pcbWritten->QuadPart = written;
    return hr;
  }

  HRESULT Commit(DWORD) override { return S_OK; }
  HRESULT Revert() override { return S_OK; }
  HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }

  HRESULT Stat(STATSTG* pstatstg, DWORD) override {
    if (pstatstg == nullptr) return STG_E_INVALIDPOINTER;
    std::memset(pstatstg, 0, sizeof *pstatstg);
    pstatstg->type = STGTY_STREAM;
    pstatstg->cbSize.QuadPart = m_bytes->size();
    return S_OK;
  }

  HRESULT Clone(IStream** ppstm) override {
    if (ppstm == nullptr) return STG_E_INVALIDPOINTER;
    auto* clone = new MemoryStream(m_bytes);
    clone->m_position = m_position;
    *ppstm = clone;
    return S_OK;
  }

 private:
  // Positions are 64-bit but the bytes live in memory; beyond this a write
  // is refused rather than attempted.
  static constexpr ULONGLONG kMaxSize = std::numeric_limits<std::uint32_t>::max();

  ~MemoryStream() override = default;

  std::shared_ptr<std::vector<BYTE>> m_bytes;
  ULONGLONG m_position = 0;
};
}  // namespace

HRESULT CreateStreamOnBytes(std::span<const BYTE> bytes, IStream** ppstm) {
  if (ppstm == nullptr) return E_INVALIDARG;
  *ppstm = new MemoryStream(std::make_shared<std::vector<BYTE>>(bytes.begin(), bytes.end()));
  return S_OK;
}

std::vector<BYTE> ReadWholeStream(IStream* stream) {
  std::vector<BYTE> bytes;
  if (stream == nullptr) return bytes;
  ULARGE_INTEGER position{};
  LARGE_INTEGER zero{};
  if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position))) return bytes;
  if (SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) {
    BYTE chunk[4096];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &read)) && read > 0) bytes.insert(bytes.end(), chunk, chunk + read);
  }
  LARGE_INTEGER back{};
  back.QuadPart = static_cast<LONGLONG>(position.QuadPart);
  stream->Seek(back, STREAM_SEEK_SET, nullptr);
  return bytes;
}

}  // namespace kp::com

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL, IStream** ppstm) {
  if (hGlobal != nullptr) return E_INVALIDARG;
  return kp::com::CreateStreamOnBytes({}, ppstm);
}
