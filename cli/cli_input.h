// What ferrowyn-cli commands read: regular files only, each checked before anything opens
// it (a FIFO would block the open, a device never end), and every input read with a bound.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace ferrowyn::cli {

// The most a command reads from a page file or standard input: the largest page body the
// crawl keeps.
inline constexpr std::size_t kMaxInputBytes = std::size_t{64} << 20;

// True when `path` names a regular file, or a link to one. Otherwise says why on standard
// error as `command`'s ("ferrowyn-cli COMMAND: "PATH" is a directory, not a regular file",
// "... does not exist", "... cannot be examined: REASON") and answers false. With
// `may_be_missing`, a name where nothing is counts as good.
bool CheckRegularFile(const std::string& command, const std::string& path,
                      bool may_be_missing = false);

// The bytes of the regular file `path` (an empty `path`: standard input), at most
// kMaxInputBytes. A file that turns out not to be regular when opened, a read error or more
// bytes than that are reported as `command`'s on standard error; nullopt then.
std::optional<std::string> ReadInput(const std::string& command, const std::string& path);

}  // namespace ferrowyn::cli
