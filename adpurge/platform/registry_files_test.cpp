// The registry's case-blind names, and the file rules adpurge relies on: sharing violations,
// read-only files, links that are removed themselves, full paths.
#include <gtest/gtest.h>

#include <cstdlib>

#include "adpurge/platform/platform.h"
#include "adpurge/testing/child.h"

namespace p = adpurge::platform;
using adpurge::testing::fresh_folder;
using adpurge::testing::unique_name;

TEST(Registry, KeysAndValuesAreFoundWithoutRegardToCase) {
  const std::string key = "SOFTWARE\\" + unique_name("Maker, Inc.");
  const auto root = p::RegRoot::kLocalMachine;
  ASSERT_TRUE(p::reg_set_string(root, key + "\\Channels\\Beta", "ChannelID", "C1234"));
  ASSERT_TRUE(p::reg_create_key(root, key + "\\channels\\Alpha"));
  EXPECT_FALSE(p::reg_key_exists(p::RegRoot::kCurrentUser, key));

  const std::string shouted = "software\\" + unique_name("MAKER, INC.") + "\\CHANNELS";
  EXPECT_EQ(p::reg_get_string(root, shouted + "\\beta", "channelid", 256), "C1234");
  EXPECT_EQ(p::reg_get_string(root, shouted + "\\beta", "channelid", 5), std::nullopt);
  EXPECT_EQ(p::reg_count_subkeys(root, shouted), 2u);
  EXPECT_EQ(p::reg_subkey(root, shouted, 0), "Alpha");
  EXPECT_EQ(p::reg_subkey(root, shouted, 1), "Beta");
  EXPECT_EQ(p::reg_subkey(root, shouted, 2), std::nullopt);

  EXPECT_FALSE(p::reg_delete_key(root, shouted));  // it still has subkeys
  EXPECT_TRUE(p::reg_delete_key(root, shouted + "\\BETA"));
  EXPECT_TRUE(p::reg_delete_value(root, shouted, "nothing") == false);
  EXPECT_EQ(p::reg_count_subkeys(root, shouted), 1u);
  EXPECT_EQ(p::reg_count_subkeys(root, shouted + "\\missing"), 0u);
  EXPECT_TRUE(p::reg_delete_key(root, key + "\\Channels\\Alpha"));
  EXPECT_TRUE(p::reg_delete_key(root, key + "\\Channels"));
  EXPECT_TRUE(p::reg_delete_key(root, key));
  EXPECT_FALSE(p::reg_key_exists(root, key));
}

TEST(Files, SharingModesReadOnlyAndFullPaths) {
  const std::string folder = fresh_folder("sharing");
  const std::string name = folder + "\\rc";
  auto exclusive =
      p::open_file(name, p::kRead | p::kWrite, p::kShareNone, p::Disposition::kCreateNew);
  ASSERT_EQ(exclusive.error, p::FileError::kNone);
  ASSERT_TRUE(exclusive.file.write_at(2, "xy", 2));
  EXPECT_EQ(
      p::open_file(name, p::kRead, p::kShareRead | p::kShareWrite, p::Disposition::kOpenExisting)
          .error,
      p::FileError::kSharingViolation);
  EXPECT_EQ(p::delete_file(name), p::FileError::kSharingViolation);
  ASSERT_TRUE(exclusive.file.close());

  auto reader = p::open_file(name, p::kRead, p::kShareRead, p::Disposition::kOpenExisting);
  ASSERT_EQ(reader.error, p::FileError::kNone);
  EXPECT_EQ(reader.file.size(), 4u);
  char bytes[8] = {};
  EXPECT_EQ(reader.file.read_at(0, bytes, sizeof bytes), 4u);
  EXPECT_EQ(std::string(bytes, 4), std::string("\0\0xy", 4));
  EXPECT_EQ(p::open_file(name, p::kRead, p::kShareRead, p::Disposition::kOpenExisting).error,
            p::FileError::kNone);
  EXPECT_EQ(p::open_file(name, p::kWrite, p::kShareRead, p::Disposition::kOpenExisting).error,
            p::FileError::kSharingViolation);
  reader.file.close();

  ASSERT_TRUE(p::set_read_only(name));
  EXPECT_EQ(p::open_file(name, p::kWrite, p::kShareRead, p::Disposition::kOpenExisting).error,
            p::FileError::kAccessDenied);
  EXPECT_EQ(p::delete_file(name), p::FileError::kAccessDenied);
  EXPECT_EQ(p::copy_file(name, folder + "\\copy"), p::FileError::kNone);
  EXPECT_TRUE(p::is_read_only(folder + "\\copy"));  // attributes come along
  EXPECT_EQ(p::copy_file(name, folder + "\\copy"), p::FileError::kAccessDenied);
  EXPECT_TRUE(p::set_attributes_normal(name));
  EXPECT_EQ(p::delete_file(name), p::FileError::kNone);
  EXPECT_EQ(p::delete_file(name), p::FileError::kNotFound);
  EXPECT_EQ(
      p::open_file(folder + "\\missing\\x", p::kRead, p::kShareRead, p::Disposition::kOpenExisting)
          .error,
      p::FileError::kNotFound);

  EXPECT_EQ(p::full_path("C:\\a\\..\\..\\b/c\\.\\d"), "C:\\b\\c\\d");
}

TEST(Files, FolderLinkIsListedAsLinkAndRemovedItself) {
  const std::string folder = fresh_folder("links");
  const std::string target = folder + "\\target";
  ASSERT_TRUE(p::create_folder(target));
  ASSERT_EQ(
      p::open_file(target + "\\keep", p::kWrite, p::kShareNone, p::Disposition::kCreateNew).error,
      p::FileError::kNone);
  if (!p::create_folder_link(folder + "\\link", target)) {
#ifdef _WIN32
    GTEST_SKIP() << "this system makes no folder links or junctions (Wine 8 does not)";
#else
    FAIL() << "no folder link";
#endif
  }
  EXPECT_TRUE(p::set_attributes_normal(folder + "\\link"));
  const auto entries = p::list_folder(folder);
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_EQ((*entries)[0].name, "link");
  EXPECT_TRUE((*entries)[0].is_link);
  EXPECT_TRUE((*entries)[0].is_folder);
  EXPECT_FALSE((*entries)[1].is_link);
  EXPECT_EQ(p::remove_folder(folder + "\\link"), p::FileError::kNone);
  EXPECT_TRUE(p::file_exists(target + "\\keep"));
  EXPECT_FALSE(p::folder_exists(folder + "\\link"));
}

#ifndef _WIN32
// Without a root the POSIX build changes nothing and says why.
ADPURGE_CHILD(without_root) {
  if (p::unavailable_reason().find("ADPURGE_ROOT is not set") == std::string::npos) return 1;
  if (p::create_folder("C:\\x") || p::reg_create_key(p::RegRoot::kCurrentUser, "x")) return 2;
  return p::create_mutex("x", true).handle.valid() ? 3 : 0;
}

TEST(Root, WithoutRootNothingIsChanged) {
  const std::string root = std::getenv("ADPURGE_ROOT");
  unsetenv("ADPURGE_ROOT");
  auto child = adpurge::testing::start_child("without_root", {});
  setenv("ADPURGE_ROOT", root.c_str(), 1);
  EXPECT_EQ(adpurge::testing::wait_child(child), 0u);
}
#endif

ADPURGE_CHILD(exit_with) { return std::stoi(args.at(0)); }

// Tests install programs built beside them into the layout and start them there.
TEST(Processes, ProgramCopiedIntoTheLayoutStartsAndReportsItsExitCode) {
  const std::string copy = fresh_folder("program") + "\\Copied Program.exe";
  ASSERT_EQ(p::copy_file(p::current_program(), copy), p::FileError::kNone);
  auto started = p::start_process(copy, {"--adpurge-child", "exit_with", "7"});
  ASSERT_TRUE(started.valid());
  EXPECT_EQ(adpurge::testing::wait_child(started), 7u);
  EXPECT_EQ(started.wait(0), 7u);  // the code stays known after the end
  EXPECT_FALSE(p::start_process(copy + ".missing.exe", {}).valid());
}
