// The desktop's default web browser as a command to start: the HTML handler's desktop
// entry (`xdg-mime query default text/html`, then its Exec= line) or else $BROWSER,
// taken apart into a program and its arguments so that no shell ever reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

// The keys of a desktop entry's [Desktop Entry] group that starting it needs.
struct DesktopEntry {
  std::string Name;
  std::string Icon;
  std::optional<std::string> Exec;  // as written, escapes not yet decoded
  bool Hidden = false;
};

// Reads the [Desktop Entry] group of a desktop entry file's text: the unlocalised
// Name, Icon, Exec and Hidden keys; comments, other groups and localised keys are
// skipped. Pure; any thread; never throws but std::bad_alloc.
DesktopEntry ParseDesktopEntry(std::string_view contents);

// Splits an Exec= value into its arguments: first the value's own escapes (\s \n \t
// \r \\), then blanks separate arguments, double quotation marks enclose one, and
// inside them a backslash takes the next of " ` $ \ literally. Field codes stay as
// written. nullopt for an unterminated quotation, a stray escape inside one, or no
// argument at all. Pure; any thread.
std::optional<std::vector<std::string>> SplitExecLine(std::string_view exec);

// The arguments that open `url`: the first argument that holds a placeholder (%u %U %f
// %F %1) ends the command, the text before the placeholder in it joined to the URL;
// the arguments after it are dropped. Without a placeholder the URL is added at the
// end. In the arguments kept, "%%" becomes "%", %c the entry's name, %k `entrypath`,
// %i "--icon" and the icon (nothing without one), and any other field code goes.
// Pure; any thread.
std::vector<std::string> ExecArgumentsForUrl(const std::vector<std::string>& exec,
                                             const DesktopEntry& entry,
                                             const std::string& entrypath, const std::string& url);

// The program and arguments of $BROWSER's first command (a list separated by ":")
// for `url`: "%s" stands for the URL, else the URL is added at the end; "%%" is "%".
// nullopt when `browser` names no command. Pure; any thread.
std::optional<std::vector<std::string>> BrowserVariableCommand(std::string_view browser,
                                                               const std::string& url);

// Where a desktop file ID is found: "applications/ID" under $XDG_DATA_HOME (default
// ~/.local/share), then under each of $XDG_DATA_DIRS (default /usr/local/share and
// /usr/share); an ID "vendor-name.desktop" is also looked for as "vendor/name.desktop".
// nullopt when none exists or the ID holds a path. Any thread.
std::optional<std::string> FindDesktopEntry(const std::string& id);

// The command (program first) that starts a new browser with `url`: the default HTML
// handler's, else $BROWSER's; nullopt when neither names one. Runs xdg-mime (at most
// five seconds). GUI thread or any thread; never throws but std::bad_alloc.
std::optional<std::vector<std::string>> DefaultBrowserCommand(const std::string& url);

}  // namespace ferrowyn
