// The message table holds the English texts of the codes this layer sets and of the common
// kernel and window-manager codes; a text with insert sequences is not in the table, a maximum
// line width other than 0 is read as FORMAT_MESSAGE_MAX_WIDTH_MASK (the closing CR LF becomes a
// blank, nothing is wrapped), and the languages answered are the neutral, default and English ones.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct Message {
  DWORD code;
  const char* text;
};

// Sorted by code, so a lookup is a binary search.
constexpr Message kMessages[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {7, "The storage control blocks were destroyed."},
    {8, "Not enough memory resources are available to process this command."},
    {9, "The storage control block address is invalid."},
    {10, "The environment is incorrect."},
    {11, "An attempt was made to load a program with an incorrect format."},
    {12, "The access code is invalid."},
    {13, "The data is invalid."},
    {14, "Not enough memory resources are available to complete this operation."},
    {15, "The system cannot find the drive specified."},
    {16, "The directory cannot be removed."},
    {17, "The system cannot move the file to a different disk drive."},
    {18, "There are no more files."},
    {19, "The media is write protected."},
    {20, "The system cannot find the device specified."},
    {21, "The device is not ready."},
    {22, "The device does not recognize the command."},
    {23, "Data error (cyclic redundancy check)."},
    {24, "The program issued a command but the command length is incorrect."},
    {25, "The drive cannot locate a specific area or track on the disk."},
    {26, "The specified disk or diskette cannot be accessed."},
    {27, "The drive cannot find the sector requested."},
    {28, "The printer is out of paper."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {31, "A device attached to the system is not functioning."},
    {32, "The process cannot access the file because it is being used by another process."},
    {33, "The process cannot access the file because another process has locked a portion of the file."},
    {38, "Reached the end of the file."},
    {39, "The disk is full."},
    {50, "The request is not supported."},
    {53, "The network path was not found."},
    {54, "The network is busy."},
    {55, "The specified network resource or device is no longer available."},
    {59, "An unexpected network error occurred."},
    {64, "The specified network name is no longer available."},
    {65, "Network access is denied."},
    {67, "The network name cannot be found."},
    {80, "The file exists."},
    {82, "The directory or file cannot be created."},
    {87, "The parameter is incorrect."},
    {109, "The pipe has been ended."},
    {110, "The system cannot open the device or file specified."},
    {111, "The file name is too long."},
    {112, "There is not enough space on the disk."},
    {120, "This function is not supported on this system."},
    {121, "The semaphore timeout period has expired."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {131, "An attempt was made to move the file pointer before the beginning of the file."},
    {132, "The file pointer cannot be set on the specified device or file."},
    {145, "The directory is not empty."},
    {158, "The segment is already unlocked."},
    {170, "The requested resource is in use."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {231, "All pipe instances are busy."},
    {232, "The pipe is being closed."},
    {234, "More data is available."},
    {258, "The wait operation timed out."},
    {267, "The directory name is invalid."},
    {288, "Attempt to release mutex not owned by caller."},
    {487, "Attempt to access invalid address."},
    {534, "Arithmetic result exceeded 32 bits."},
    {995, "The I/O operation has been aborted because of either a thread exit or an application request."},
    {996, "Overlapped I/O event is not in a signaled state."},
    {997, "Overlapped I/O operation is in progress."},
    {998, "Invalid access to memory location."},
    {1006, "The volume for a file has been externally altered so that the opened file is no longer valid."},
    {1112, "No media in drive."},
    {1113, "No mapping for the Unicode character exists in the target multi-byte code page."},
    {1117, "The request could not be performed because of an I/O device error."},
    {1167, "The device is not connected."},
    {1168, "Element not found."},
    {1400, "Invalid window handle."},
    {1401, "Invalid menu handle."},
    {1402, "Invalid cursor handle."},
    {1404, "Invalid hook handle."},
    {1408, "Invalid window; it belongs to other thread."},
    {1409, "Hot key is already registered."},
    {1410, "Class already exists."},
    {1411, "Class does not exist."},
    {1412, "Class still has open windows."},
    {1413, "Invalid index."},
    {1414, "Invalid icon handle."},
    {1418, "Thread does not have a clipboard open."},
    {1460, "This operation returned because the timeout period expired."},
    {1617, "The device has been removed."},
    {1785, "The disk media is not recognized. It may not be formatted."},
    {1812, "The specified image file did not contain a resource section."},
    {1813, "The specified resource type cannot be found in the image file."},
    {1814, "The specified resource name cannot be found in the image file."},
    {1815, "The specified resource language ID cannot be found in the image file."},
    {1920, "The file cannot be accessed by the system."},
    {1921, "The name of the file cannot be resolved by the system."},
    {2000, "The pixel format is invalid."},
    {4390, "The file or directory is not a reparse point."},
};

const char* findMessage(DWORD code) {
  // An HRESULT that wraps a Win32 code (facility 7) reads as the code itself.
  if ((code & 0xFFFF0000u) == 0x80070000u) code &= 0xFFFFu;
  const Message* end = std::end(kMessages);
  const Message* found =
      std::lower_bound(std::begin(kMessages), end, code, [](const Message& m, DWORD c) { return m.code < c; });
  return found != end && found->code == code ? found->text : nullptr;
}

bool languageAnswered(DWORD language) {
  WORD primary = language & 0x3FF;
  return language == 0 || primary == LANG_NEUTRAL || primary == LANG_ENGLISH;
}

}  // namespace

DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPSTR lpBuffer, DWORD nSize, va_list* Arguments) {
  if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || (dwFlags & FORMAT_MESSAGE_FROM_STRING) || !lpBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!languageAnswered(dwLanguageId)) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return 0;
  }
  const char* text = findMessage(dwMessageId);
  if (!text) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  std::string message = text;
  message += (dwFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK) ? " " : "\r\n";
  DWORD length = static_cast<DWORD>(message.size());

  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    // The caller releases the buffer with LocalFree, and nSize is then a minimum size.
    SIZE_T bytes = std::max<SIZE_T>(length + 1, nSize);
    auto* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes));
    if (!block) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    std::memcpy(block, message.c_str(), length + 1);
    *reinterpret_cast<char**>(lpBuffer) = block;
    return length;
  }
  if (nSize < length + 1) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpBuffer, message.c_str(), length + 1);
  return length;
}
