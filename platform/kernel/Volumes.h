// What opening and flushing a volume means for the two kinds of drive-table entry.
#pragma once

#include <windows.h>

#include <sys/types.h>

#include <set>
#include <string>

namespace kernel {

// The Win32 code that opening an already open block device must fail with, or 0: a device with
// no medium (size 0) is not ready, and a read-only one refuses write access.
DWORD blockDeviceOpenError(int fd, bool write);

// The Win32 code for a failed open of a block device: a read-only device the caller may read is
// write protected, anything else as errno says.
DWORD blockDeviceRefusal(const char* path, int error);

// The device, its partitions and whatever is stacked on any of them (encryption, RAID, LVM), as
// the folder of sysfs that names block devices by number links them.
std::set<dev_t> devicesStackedOn(dev_t device, const std::string& blockFolder = "/sys/dev/block");

// Whether an open directory is the top of a mounted file system.
bool isMountRoot(int fd);

// Writes out every file system mounted from the device, or from its partitions and the devices
// stacked on it, then the device's own cache; 0, or the errno of the first step that failed.
// Every step runs even after a failure, so one bad file system does not keep the rest in memory.
int flushBlockDevice(int fd);

}  // namespace kernel
