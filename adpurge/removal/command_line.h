// adpurge's command line: splitting it into tokens the way the client's tools do, and
// reading the three options from them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace adpurge {

// Tokens separated by runs of blanks; a quotation mark toggles quoting and is dropped,
// so a quoted token may hold blanks. The list ends at the first empty token (the end
// of the text, or an empty pair of quotation marks).
std::vector<std::string> SplitCommandLine(std::string_view text);

struct Options {
  std::optional<std::string> app_name;  // the token after "-appname", when there is one
  bool dont_ask = false;                // "-dontask": delete the core files without asking
  bool no_error_gui = false;            // "-noerrorgui": errors by exit code only
};

// A token is an option when it begins with the option's text, in any letter case; the
// token after "-appname" is the name, whatever it holds. Other tokens are ignored.
Options ReadOptions(const std::vector<std::string>& tokens);

}  // namespace adpurge
