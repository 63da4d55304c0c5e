// The kernel handles behind CreateFileA: each one owns a POSIX file descriptor.
#pragma once

#include <windows.h>

#include <string>

namespace kernel {

struct FileObject {
  int fd = -1;
  bool isVolume = false;       // opened through the device namespace
  bool isMountPoint = false;   // a volume that is a directory: flushing means syncfs
  bool canRead = false;
  bool canWrite = false;
  std::string deleteOnClose;   // the file to remove when the handle closes, if asked
};

// Takes ownership of the object and hands back its new handle.
HANDLE addFile(const FileObject& file);

// A copy of the object behind a handle, or false (with ERROR_INVALID_HANDLE set) for anything
// that is not an open file handle.
bool findFile(HANDLE handle, FileObject& file);

// Removes the handle from the table and gives back its object; false for an unknown handle.
bool takeFile(HANDLE handle, FileObject& file);

}  // namespace kernel
