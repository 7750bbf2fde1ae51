// The client's folders, and the names that would lead outside them.
#include "adpurge/removal/client_paths.h"

#include <gtest/gtest.h>

namespace adpurge {
namespace {

TEST(ClientPathsTest, FoldersAndChannelIdentifiers) {
  const ClientPaths paths = *ClientFolders("c:\\Program Files");
  EXPECT_EQ(paths.client, "c:\\Program Files\\Pennaway");
  EXPECT_EQ(paths.courier, "c:\\Program Files\\Pennaway\\AdCourier");
  EXPECT_EQ(paths.profiles, "c:\\Program Files\\Pennaway\\AdCourier\\Profiles");
  EXPECT_EQ(paths.ads, "c:\\Program Files\\Pennaway\\AdCourier\\Ads");
  const std::string app = *AppFolder(paths, "My App");
  EXPECT_EQ(app, paths.profiles + "\\My App");
  EXPECT_EQ(ChannelFolder(app, "ann", ""), app + "\\ann");
  EXPECT_EQ(ChannelFolder(app, "ann", "X"), app + "\\ann\\");
  EXPECT_EQ(ChannelFolder(app, "ann", "Xchan7"), app + "\\ann\\chan7");
  EXPECT_FALSE(ChannelFolder(app, "ann", "X.."));
  EXPECT_FALSE(ChannelFolder(app, "ann", "X..\\..\\Other"));
  EXPECT_FALSE(ChannelFolder(app, "..", "Xc"));
}

TEST(ClientPathsTest, NamesReachingOutsideOrTooLongAreRefused) {
  const ClientPaths paths = *ClientFolders("c:\\Program Files");
  for (const char* name : {"", ".", "..", "...", " . ", "a\\b", "..\\x", "a/b", "c:x", "a\tb",
                           "a\x7f", "App.", "App ", "a*", "a?", "a|b", "a<b", "a\"b"}) {
    EXPECT_FALSE(AppFolder(paths, name)) << name;
  }
  EXPECT_TRUE(AppFolder(paths, ".hidden app"));
  const std::size_t room = kMaxPath - paths.profiles.size() - 1;  // the longest name that fits
  EXPECT_TRUE(AppFolder(paths, std::string(room - 1, 'n')));
  EXPECT_FALSE(AppFolder(paths, std::string(room, 'n')));
  EXPECT_FALSE(ClientFolders(std::string(kMaxPath - 9, 'p')));
}

}  // namespace
}  // namespace adpurge
