// The mount table as the kernel writes it: optional fields, escaped paths, broken lines.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>

#include "kernel/MountTable.h"

namespace {

TEST(MountTable, ReadsNumbersPathsAndSourcesPastTheOptionalFields) {
  auto mounts = kernel::parseMountInfo(
      "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
      "36 35 259:3 / /media/usb\\040stick rw,noatime master:1 shared:2 - ext4 /dev/sdb\\1341 rw\n"
      "40 22 0:35 /sub /mnt/bind rw - btrfs /dev/sdb1 rw,ssd");
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(mounts[0].id, 22);
  EXPECT_EQ(mounts[0].device, makedev(0, 21));
  EXPECT_EQ(mounts[1].id, 36);
  EXPECT_EQ(mounts[1].device, makedev(259, 3));
  EXPECT_EQ(mounts[1].mountPoint, "/media/usb stick");
  EXPECT_EQ(mounts[1].source, "/dev/sdb\\1");
  EXPECT_EQ(mounts[2].mountPoint, "/mnt/bind");
  EXPECT_EQ(mounts[2].source, "/dev/sdb1");
}

TEST(MountTable, SkipsLinesWithoutTheKernelsShapeAndKeepsStrayBackslashes) {
  auto mounts = kernel::parseMountInfo(
      "\n"
      "garbage\n"
      "1 2 3:4 / /no-separator rw ext4 /dev/x rw\n"
      "5 6 7:8 / /no-source rw - ext4\n"
      "x 6 7:8 / /bad-id rw - ext4 /dev/x rw\n"
      "9 6 7 / /bad-numbers rw - ext4 /dev/x rw\n"
      "10 6 7:8 / /a\\18\\\\z\\777 rw - ext4 /dev/x\\ rw\n");
  ASSERT_EQ(mounts.size(), 1u);
  EXPECT_EQ(mounts[0].id, 10);
  EXPECT_EQ(mounts[0].mountPoint, "/a\\18\\\\z\\777");
  EXPECT_EQ(mounts[0].source, "/dev/x\\");
}

TEST(MountTable, TheLiveTableHoldsTheRootFileSystem) {
  auto mounts = kernel::readMountTable();
  struct stat root {};
  ASSERT_EQ(stat("/", &root), 0);
  EXPECT_TRUE(std::any_of(mounts.begin(), mounts.end(), [&](const kernel::Mount& mount) {
    return mount.mountPoint == "/" && mount.device == root.st_dev;
  }));
}

}  // namespace
