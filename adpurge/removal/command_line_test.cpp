// The command line as uninstallers write it.
#include "adpurge/removal/command_line.h"

#include <gtest/gtest.h>

namespace adpurge {
namespace {

using Tokens = std::vector<std::string>;

TEST(CommandLineTest, SplitsOnBlanksWithQuotesTogglingAndStopsAtAnEmptyToken) {
  EXPECT_EQ(SplitCommandLine("\"C:\\Pro gram\\adpurge.exe\"  -appname \"My App\" -dontask "),
            (Tokens{"C:\\Pro gram\\adpurge.exe", "-appname", "My App", "-dontask"}));
  EXPECT_EQ(SplitCommandLine("a\"b c\"d \"\" -dontask"), (Tokens{"ab cd"}));
  EXPECT_EQ(SplitCommandLine(""), Tokens{});
}

TEST(CommandLineTest, OptionsByPrefixInAnyCase) {
  Options o = ReadOptions({"adpurge.exe", "-APPNAME", "-dontask", "-DontAskMe", "-NOERRORGUI"});
  ASSERT_TRUE(o.app_name);
  EXPECT_EQ(*o.app_name, "-dontask");  // the token after -appname is the name
  EXPECT_TRUE(o.dont_ask);
  EXPECT_TRUE(o.no_error_gui);

  o = ReadOptions({"adpurge.exe", "-dontask", "appname", "-appname"});
  EXPECT_FALSE(o.app_name);
  EXPECT_TRUE(o.dont_ask);
  EXPECT_FALSE(o.no_error_gui);
}

}  // namespace
}  // namespace adpurge
