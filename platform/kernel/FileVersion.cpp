// No file here carries a Windows version resource (executables are ELF files, without resource
// sections), so GetFileVersionInfoSizeA and GetFileVersionInfoA find none in any file that exists
// and answer ERROR_RESOURCE_DATA_NOT_FOUND, as Windows does for a file without resources;
// VerQueryValueA reads the fixed file information ("\") of a VS_VERSIONINFO block made elsewhere
// and finds no other value.
#include <windows.h>

#include <cstring>

namespace {

// The block starts with its length, the value's length, its type and the key "VS_VERSION_INFO"
// in UTF-16; the value follows on the next 32-bit boundary.
constexpr size_t kFixedInfoOffset = 40;
constexpr char kRootKey[] = "VS_VERSION_INFO";

bool hasRootKey(const BYTE* block) {
  for (size_t i = 0; i < sizeof kRootKey; ++i) {
    const BYTE* unit = block + 6 + 2 * i;
    if (unit[0] != static_cast<BYTE>(kRootKey[i]) || unit[1] != 0) return false;
  }
  return true;
}

DWORD noResourceIn(LPCSTR file) {
  if (file == nullptr || GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES) return GetLastError();
  return ERROR_RESOURCE_DATA_NOT_FOUND;
}

}  // namespace

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
  if (lpdwHandle) *lpdwHandle = 0;
  SetLastError(noResourceIn(lptstrFilename));
  return 0;
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD, DWORD, LPVOID) {
  SetLastError(noResourceIn(lptstrFilename));
  return FALSE;
}

BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) {
  if (pBlock == nullptr || lpSubBlock == nullptr || lplpBuffer == nullptr || puLen == nullptr) return FALSE;
  const auto* block = static_cast<const BYTE*>(pBlock);
  WORD length, valueLength;
  std::memcpy(&length, block, sizeof length);
  std::memcpy(&valueLength, block + 2, sizeof valueLength);
  if (std::strcmp(lpSubBlock, "\\") != 0 || !hasRootKey(block) || valueLength != sizeof(VS_FIXEDFILEINFO) ||
      length < kFixedInfoOffset + sizeof(VS_FIXEDFILEINFO))
    return FALSE;
  DWORD signature;
  std::memcpy(&signature, block + kFixedInfoOffset, sizeof signature);
  if (signature != VS_FFI_SIGNATURE) return FALSE;
  *lplpBuffer = const_cast<BYTE*>(block + kFixedInfoOffset);
  *puLen = sizeof(VS_FIXEDFILEINFO);
  return TRUE;
}
