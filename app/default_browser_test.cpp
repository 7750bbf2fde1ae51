// The default browser's command from real desktop entries: quoted arguments, field
// codes, "%%", and the arguments after the URL's place dropped.
#include "app/default_browser.h"

#include <gtest/gtest.h>

namespace ferrowyn {
namespace {

using Strings = std::vector<std::string>;
constexpr char kUrl[] = "http://example.com/a b.htm";

Strings CommandFor(const std::string& contents, const std::string& path = "/p/x.desktop") {
  const DesktopEntry entry = ParseDesktopEntry(contents);
  EXPECT_TRUE(entry.Exec.has_value());
  const auto exec = SplitExecLine(entry.Exec.value_or(""));
  EXPECT_TRUE(exec.has_value());
  return ExecArgumentsForUrl(exec.value_or(Strings{}), entry, path, kUrl);
}

TEST(DefaultBrowserTest, DesktopEntriesGiveProgramAndUrl) {
  // As Firefox installs it: the action groups' Exec lines are not the entry's.
  EXPECT_EQ(CommandFor("[Desktop Entry]\nName=Firefox\nName[de]=Feuerfuchs\n"
                       "Exec=/usr/lib/firefox/firefox %u\nIcon=firefox\n\n"
                       "[Desktop Action new-window]\nExec=/usr/lib/firefox/firefox --new-window "
                       "%u\n"),
            (Strings{"/usr/lib/firefox/firefox", kUrl}));
  // A quoted program path with blanks, escapes inside quotes, and switches after the
  // placeholder, which are dropped.
  EXPECT_EQ(CommandFor("# comment\n[Desktop Entry]\n"
                       "Exec = \"/opt/My Browser/run\" --title=\"say \\\\\"hi\\\\\"\" "
                       "\"%U\" --incognito\n"),
            (Strings{"/opt/My Browser/run", "--title=say \"hi\"", kUrl}));
  // %% is a percent sign; %i, %c and %k are written out; a deprecated code goes; an
  // Exec line without a placeholder takes the URL at its end.
  EXPECT_EQ(CommandFor("[Desktop Entry]\nName=Web\nIcon=web\n"
                       "Exec=web --zoom=100%% %i --class=%c --from %k %d\n",
                       "/usr/share/applications/web.desktop"),
            (Strings{"web", "--zoom=100%", "--icon", "web", "--class=Web", "--from",
                     "/usr/share/applications/web.desktop", kUrl}));
  // A value's escapes are read first: \s is a blank, which separates arguments unless
  // quoted.
  EXPECT_EQ(CommandFor("[Desktop Entry]\nExec=\"open\\sweb\" a\\sb --url=%u\n"),
            (Strings{"open web", "a", "b", std::string("--url=") + kUrl}));
}

TEST(DefaultBrowserTest, RefusesMalformedExecLines) {
  EXPECT_EQ(SplitExecLine("\"unterminated %u"), std::nullopt);
  EXPECT_EQ(SplitExecLine("\"bad \\q escape\""), std::nullopt);
  EXPECT_EQ(SplitExecLine("   "), std::nullopt);
  EXPECT_FALSE(ParseDesktopEntry("[Other]\nExec=x %u\n").Exec.has_value());
}

TEST(DefaultBrowserTest, BrowserVariable) {
  EXPECT_EQ(BrowserVariableCommand(":w3m -T text/html:lynx", kUrl),
            (Strings{"w3m", "-T", "text/html", kUrl}));
  EXPECT_EQ(BrowserVariableCommand("links '%s' 100%%", kUrl),
            (Strings{"links", std::string("'") + kUrl + "'", "100%"}));
  EXPECT_EQ(BrowserVariableCommand(" : ", kUrl), std::nullopt);
}

}  // namespace
}  // namespace ferrowyn
