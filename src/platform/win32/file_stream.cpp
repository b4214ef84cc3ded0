#include "platform/win32/file_stream.h"

#include <algorithm>
#include <utility>

#include "platform/run_time_error.h"

namespace platform::win32 {

Microsoft::WRL::ComPtr<FileStream> OpenFileStream(const std::wstring& path) {
  // Nobody may write to the file while it is open, but it may be deleted or renamed over: the
  // handle keeps reading the file that was opened. A folder cannot be opened like this, so it
  // counts as missing too.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw RunTimeError(ErrorCode::FileNotFound, "file not found");
  // Constructed from the raw pointer, the smart pointer takes the stream's first reference. Not
  // Attach: MinGW's adds a reference of its own, unlike the Windows SDK's, and the stream, its
  // buffer and its file would then outlive every picture.
  return Microsoft::WRL::ComPtr<FileStream>(new FileStream(UniqueHandle(file)));
}

FileStream::FileStream(UniqueHandle file) : file_(std::move(file)) {
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file_.get(), &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
  // No larger than the file: a small picture pays for no more.
  buffer_.resize(static_cast<std::size_t>(std::clamp<std::uint64_t>(size_, 1, 1 << 20)));
}

FileStream::~FileStream() = default;

std::size_t FileStream::ReadFileAt(std::uint64_t offset, std::span<std::uint8_t> into) const {
  std::size_t done = 0;
  while (done < into.size()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(into.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file_.get(), into.data() + done, wanted, &got, &at) || got == 0) break;
    done += got;
  }
  return done;
}

// Our header reader and the decoders read in small pieces (Wine's JPEG decoder a kilobyte at a
// time), and a call into the file system costs far more than a copy: the pieces come from a
// buffer filled in large reads.
std::size_t FileStream::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
  if (into.size() >= buffer_.size()) return ReadFileAt(offset, into);
  if (offset < bufferAt_ || offset + into.size() > bufferAt_ + bufferFilled_) {
    bufferAt_ = offset;
    bufferFilled_ = ReadFileAt(offset, buffer_);
  }
  if (offset >= bufferAt_ + bufferFilled_) return 0;
  const auto from = static_cast<std::size_t>(offset - bufferAt_);
  const std::size_t count = std::min(into.size(), bufferFilled_ - from);
  std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(from), count, into.begin());
  return count;
}

HRESULT FileStream::QueryInterface(REFIID id, void** object) {
  if (object == nullptr) return E_POINTER;
  if (id == __uuidof(IUnknown) || id == __uuidof(ISequentialStream) || id == __uuidof(IStream)) {
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

// One thread only: the user-interface thread that decodes.
ULONG FileStream::AddRef() { return ++references_; }

ULONG FileStream::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT FileStream::Read(void* into, ULONG count, ULONG* read) {
  const std::size_t got = ReadAt(position_, {static_cast<std::uint8_t*>(into), count});
  position_ += got;
  if (read != nullptr) *read = static_cast<ULONG>(got);
  return got == count ? S_OK : S_FALSE;
}

HRESULT FileStream::Write(const void*, ULONG, ULONG*) { return STG_E_ACCESSDENIED; }

HRESULT FileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  std::int64_t base = 0;
  switch (origin) {
    case STREAM_SEEK_SET:
      break;
    case STREAM_SEEK_CUR:
      base = static_cast<std::int64_t>(position_);
      break;
    case STREAM_SEEK_END:
      base = static_cast<std::int64_t>(size_);
      break;
    default:
      return STG_E_INVALIDFUNCTION;
  }
  const std::int64_t to = base + move.QuadPart;
  if (to < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<std::uint64_t>(to);
  if (position != nullptr) position->QuadPart = position_;
  return S_OK;
}

HRESULT FileStream::SetSize(ULARGE_INTEGER) { return STG_E_ACCESSDENIED; }
HRESULT FileStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) {
  return E_NOTIMPL;
}
HRESULT FileStream::Commit(DWORD) { return S_OK; }  // nothing is ever written
HRESULT FileStream::Revert() { return S_OK; }
HRESULT FileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return STG_E_INVALIDFUNCTION;
}
HRESULT FileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
  return STG_E_INVALIDFUNCTION;
}

HRESULT FileStream::Stat(STATSTG* stat, DWORD) {
  if (stat == nullptr) return STG_E_INVALIDPOINTER;
  *stat = STATSTG{};
  stat->type = STGTY_STREAM;
  stat->cbSize.QuadPart = size_;
  stat->grfMode = STGM_READ | STGM_SHARE_DENY_WRITE;
  return S_OK;
}

HRESULT FileStream::Clone(IStream**) { return E_NOTIMPL; }

}  // namespace platform::win32
