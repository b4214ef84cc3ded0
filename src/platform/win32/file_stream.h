#pragma once
// A picture file opened once: read by our header reader at any offset, and handed to a WIC
// decoder as an IStream over the same handle, so the file checked is the file decoded.
#include <windows.h>
// After windows.h, which it builds on.
#include <objidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace platform::win32 {

class FileStream;

// Opens `path` to read, sharing read and delete: the picture may be replaced while it is shown.
// Throws RunTimeError(FileNotFound) when there is no such file (or a folder of that name).
Microsoft::WRL::ComPtr<FileStream> OpenFileStream(const std::wstring& path);

class FileStream final : public IStream {
 public:
  explicit FileStream(UniqueHandle file);
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Reads up to `into.size()` bytes at `offset`; fewer only where the file ends.
  std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> into);
  [[nodiscard]] std::uint64_t Size() const { return size_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // ISequentialStream
  HRESULT STDMETHODCALLTYPE Read(void* into, ULONG count, ULONG* read) override;
  HRESULT STDMETHODCALLTYPE Write(const void* from, ULONG count, ULONG* written) override;
  // IStream: a read-only stream that can seek and say its size; decoders need no more.
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* to, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count,
                                       DWORD type) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count,
                                         DWORD type) override;
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

 private:
  ~FileStream();
  std::size_t ReadFileAt(std::uint64_t offset, std::span<std::uint8_t> into) const;

  ULONG references_ = 0;  // the first is taken by the pointer OpenFileStream returns
  UniqueHandle file_;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
  std::vector<std::uint8_t> buffer_;
  std::uint64_t bufferAt_ = 0;
  std::size_t bufferFilled_ = 0;
};

}  // namespace platform::win32
