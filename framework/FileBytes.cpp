#include "framework/FileBytes.h"

#include <windows.h>

#include <algorithm>

namespace {

// Closes the handle on every way out.
struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

}  // namespace

FileBytesResult ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
  FileHandle file{CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return FileBytesResult::CannotOpen;
  DWORD high = 0;
  DWORD low = GetFileSize(file.handle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return FileBytesResult::CannotRead;
  const uint64_t length = (uint64_t{high} << 32) | low;
  if (length > maxBytes) return FileBytesResult::TooLarge;
  bytes.assign(static_cast<size_t>(length), 0);
  size_t done = 0;
  while (done < bytes.size()) {
    // ReadFile moves at most a DWORD's worth at a time.
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file.handle, bytes.data() + done, want, &got, nullptr)) return FileBytesResult::CannotRead;
    if (got == 0) break;
    done += got;
  }
  // A file that shrank while it was read is read as far as it goes.
  bytes.resize(done);
  return FileBytesResult::Ok;
}
