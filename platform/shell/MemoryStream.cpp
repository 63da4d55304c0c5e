// SHCreateMemStream. Where Windows leaves it open: the stream has no name (Stat gives a null
// pwcsName whatever the flag), Clone and Revert are E_NOTIMPL and region locks
// STG_E_INVALIDFUNCTION as in the shell's own stream before Windows 8, Commit has nothing to do,
// a position past the end reads nothing and a write there fills the gap with zeros, and a stream
// is limited to what a UINT counts, as its creation is.
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_ISequentialStream = {0x0c733a30, 0x2a1c, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
const IID IID_IStream = {0x0000000c, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

constexpr ULONGLONG kMaxSize = std::numeric_limits<UINT>::max();

class MemoryStream final : public IStream {
 public:
  explicit MemoryStream(std::vector<BYTE> bytes) : bytes_(std::move(bytes)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pv == nullptr && cb != 0) return STG_E_INVALIDPOINTER;
    ULONG got = 0;
    if (position_ < bytes_.size()) {
      got = static_cast<ULONG>(std::min<ULONGLONG>(cb, bytes_.size() - position_));
      std::memcpy(pv, bytes_.data() + position_, got);
      position_ += got;
    }
    if (pcbRead) *pcbRead = got;
    return got < cb ? S_FALSE : S_OK;
  }

  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pcbWritten) *pcbWritten = 0;
    if (pv == nullptr && cb != 0) return STG_E_INVALIDPOINTER;
    if (position_ + cb > kMaxSize) return STG_E_MEDIUMFULL;
    try {
      if (position_ + cb > bytes_.size()) bytes_.resize(static_cast<size_t>(position_ + cb));
    } catch (const std::bad_alloc&) {
      return STG_E_MEDIUMFULL;
    }
    if (cb) std::memcpy(bytes_.data() + position_, pv, cb);
    position_ += cb;
    if (pcbWritten) *pcbWritten = cb;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
    LONGLONG base;
    switch (origin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_); break;
      case STREAM_SEEK_END: base = static_cast<LONGLONG>(bytes_.size()); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    // Both terms are below 2^32 in size, so the sum cannot overflow unless the move is huge.
    if (move.QuadPart < -base || move.QuadPart > static_cast<LONGLONG>(kMaxSize) - base)
      return STG_E_INVALIDFUNCTION;
    position_ = static_cast<ULONGLONG>(base + move.QuadPart);
    if (newPosition) newPosition->QuadPart = position_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
    if (size.QuadPart > kMaxSize) return STG_E_MEDIUMFULL;
    try {
      bytes_.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
      return STG_E_MEDIUMFULL;
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override {
    if (target == nullptr) return STG_E_INVALIDPOINTER;
    ULONG count = 0;
    const BYTE* from = bytes_.data();  // past the end the position points nowhere
    if (position_ < bytes_.size()) {
      count = static_cast<ULONG>(std::min<ULONGLONG>(cb.QuadPart, bytes_.size() - position_));
      from += position_;
    }
    ULONG written = 0;
    HRESULT result = target == this ? STG_E_INVALIDFUNCTION : target->Write(from, count, &written);
    if (SUCCEEDED(result)) position_ += count;
    if (pcbRead) pcbRead->QuadPart = SUCCEEDED(result) ? count : 0;
    if (pcbWritten) pcbWritten->QuadPart = written;
    return result;
  }

  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (stat == nullptr) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override {
    if (clone) *clone = nullptr;
    return E_NOTIMPL;
  }

 private:
  // Only the last Release ends a stream.
  ~MemoryStream() = default;

  std::atomic<ULONG> references_{1};
  std::vector<BYTE> bytes_;
  ULONGLONG position_ = 0;
};

}  // namespace

IStream* WINAPI SHCreateMemStream(const BYTE* pInit, UINT cbInit) {
  try {
    std::vector<BYTE> bytes;
    if (pInit) bytes.assign(pInit, pInit + cbInit);
    return new MemoryStream(std::move(bytes));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_OUTOFMEMORY);
    return nullptr;
  }
}
