#include <gtest/gtest.h>

#include "support/process_path.h"

namespace tavro {
namespace {

TEST(ProcessPathWin32, BothSeparatorsCount) {
  EXPECT_EQ(FolderOf("C:\\Launch\\tavrorun.exe"), "C:\\Launch");
  EXPECT_EQ(FolderOf("C:\\Launch/bin\\tavrorun.exe"), "C:\\Launch/bin");
  EXPECT_EQ(FileNameOf("C:\\Launch\\tavrorun.exe"), "tavrorun.exe");
  EXPECT_EQ(ReplaceExtension("C:\\Launch\\tavrorun.exe", ".007.txt"), "C:\\Launch\\tavrorun.007.txt");
  EXPECT_EQ(ReplaceExtension("C:\\Launch.d\\tavrorun", ".007.txt"), "C:\\Launch.d\\tavrorun.007.txt");
}

}  // namespace
}  // namespace tavro
