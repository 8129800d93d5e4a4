#include "host/platform.h"

#include <gtest/gtest.h>

#include "support/scratch-folder.h"
#include "support/test-platform.h"

namespace trovel {
namespace {

using test::readBytes;
using test::ScratchFolder;
using test::TestPlatform;

class WriteAllTest : public ::testing::Test {
 protected:
  FileHandle create(const char* name) {
    const Opened opened = os.openFile(name, Access::ReadWrite, Disposition::CreateNew);
    EXPECT_EQ(opened.error, OsError::None);
    return opened.handle;
  }

  ScratchFolder folder;
  TestPlatform os;
};

TEST_F(WriteAllTest, GoesOnAfterShortWritesUntilEveryByteIsWritten) {
  os.maxWriteBytes = 3;
  const FileHandle file = create("a.txt");
  EXPECT_EQ(writeAll(os, file, std::string_view("hello, world")), OsError::None);
  EXPECT_EQ(os.closeFile(file), OsError::None);
  EXPECT_EQ(readBytes("a.txt"), "hello, world");
  EXPECT_EQ(os.calls(test::Call::WriteFile), 4);
}

TEST_F(WriteAllTest, AWriteThatMovesNothingCountsAsAFullMedium) {
  os.maxWriteBytes = 0;
  const FileHandle file = create("a.txt");
  EXPECT_EQ(writeAll(os, file, std::string_view("x")), OsError::DiskFull);
  os.closeFile(file);
}

TEST_F(WriteAllTest, StopsAtTheFirstErrorAndReportsIt) {
  os.maxWriteBytes = 2;
  os.failAt(test::Call::WriteFile, 2, OsError::AccessDenied);
  const FileHandle file = create("a.txt");
  EXPECT_EQ(writeAll(os, file, std::string_view("abcdef")), OsError::AccessDenied);
  os.closeFile(file);
  EXPECT_EQ(readBytes("a.txt"), "ab");
}

}  // namespace
}  // namespace trovel
