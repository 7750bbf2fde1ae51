// Deletion retries: how often and how long a deletion that another handle blocks is tried.
#include "adpurge/content/file_removal.h"

#include <gtest/gtest.h>

#include "adpurge/platform/platform.h"
#include "adpurge/testing/child.h"
#include "tests/support/adpurge/client_fixture.h"

namespace adpurge {
namespace {

namespace pf = adpurge::platform;

TEST(FileRemovalTest, BlockedDeletionIsTriedFiveTimesWithPausesFromTheTickCount) {
  const std::string folder = testing::scratch_folder() + "\\retries";
  testing::MakeFolders(folder);
  const std::string file = folder + "\\held.bin";
  testing::WriteAll(file, "x");
  std::vector<std::uint32_t> pauses;
  pf::set_clock([] { return 0x12345u; }, [&](std::uint32_t ms) { pauses.push_back(ms); });

  pf::Opened held = pf::open_file(file, pf::kRead, pf::kShareRead, pf::Disposition::kOpenExisting);
  ASSERT_EQ(held.error, pf::FileError::kNone);
  EXPECT_FALSE(DeleteFileRetrying(file));
  EXPECT_EQ(pauses, (std::vector<std::uint32_t>{128 + 0x45, 128 + 0x45, 128 + 0x45, 128 + 0x45}));
  held.file.close();

  // Read-only entries have their attributes reset first.
  testing::MakeFolders(folder + "\\sub");
  testing::WriteAll(folder + "\\sub\\locked.bin", "y");
  ASSERT_TRUE(pf::set_read_only(folder + "\\sub\\locked.bin"));
  ASSERT_TRUE(pf::set_read_only(file));
  pauses.clear();
  DeleteFolderTree(folder);
  pf::set_clock(nullptr, nullptr);
  EXPECT_TRUE(pauses.empty());
  EXPECT_FALSE(pf::folder_exists(folder));
  EXPECT_TRUE(DeleteFileRetrying(file));  // already gone

  // A folder that is itself a link goes as a link.
  const std::string target = testing::scratch_folder() + "\\target";
  testing::MakeFolders(target);
  testing::WriteAll(target + "\\keep.txt", "keep");
  if (!pf::create_folder_link(folder, target)) {
#ifdef _WIN32
    GTEST_SKIP() << "this system makes no folder links (Wine)";
#else
    FAIL() << "no link made";
#endif
  }
  DeleteFolderTree(folder);
  EXPECT_FALSE(pf::folder_exists(folder));
  EXPECT_EQ(testing::ReadAll(target + "\\keep.txt"), "keep");
}

}  // namespace
}  // namespace adpurge
