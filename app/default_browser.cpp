// Reading desktop entries and their Exec= lines, and finding the default browser.
#include "app/default_browser.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <cstdlib>
#include <filesystem>

namespace ferrowyn {

namespace {

constexpr int kXdgMimeWaitMs = 5000;
constexpr std::string_view kBlanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The escapes of a desktop entry's string values.
std::string DecodeValueEscapes(std::string_view value) {
  std::string decoded;
  decoded.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      decoded += value[i];
      continue;
    }
    switch (const char next = value[++i]) {
      case 's':
        decoded += ' ';
        break;
      case 'n':
        decoded += '\n';
        break;
      case 't':
        decoded += '\t';
        break;
      case 'r':
        decoded += '\r';
        break;
      case '\\':
        decoded += '\\';
        break;
      default:
        decoded += '\\';
        decoded += next;
    }
  }
  return decoded;
}

bool IsPlaceholder(std::string_view text, size_t at) {
  if (at + 1 >= text.size() || text[at] != '%') return false;
  const char code = text[at + 1];
  return code == 'u' || code == 'U' || code == 'f' || code == 'F' || code == '1';
}

// The position of the first placeholder of `argument` outside "%%" pairs, or npos.
size_t PlaceholderAt(std::string_view argument) {
  for (size_t i = 0; i + 1 < argument.size(); ++i) {
    if (argument[i] != '%') continue;
    if (IsPlaceholder(argument, i)) return i;
    ++i;  // "%%" and other codes are two characters
  }
  return std::string_view::npos;
}

// Field codes of an argument kept in the command: "%%" and %c and %k written out, any
// other code dropped. %i is handled by the caller, since it becomes two arguments.
std::string ExpandFieldCodes(std::string_view argument, const DesktopEntry& entry,
                             const std::string& entrypath) {
  std::string expanded;
  for (size_t i = 0; i < argument.size(); ++i) {
    if (argument[i] != '%' || i + 1 == argument.size()) {
      expanded += argument[i];
      continue;
    }
    switch (argument[++i]) {
      case '%':
        expanded += '%';
        break;
      case 'c':
        expanded += entry.Name;
        break;
      case 'k':
        expanded += entrypath;
        break;
      default:
        break;
    }
  }
  return expanded;
}

std::string EnvironmentOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
  QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  constexpr qint64 kLargestEntry = 1 << 20;  // desktop entries are a few kilobytes
  if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestEntry) return std::nullopt;
  return file.readAll().toStdString();
}

std::optional<std::string> DefaultHtmlHandler() {
  QProcess xdgmime;
  xdgmime.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
  if (!xdgmime.waitForFinished(kXdgMimeWaitMs)) {
    xdgmime.kill();
    xdgmime.waitForFinished(kXdgMimeWaitMs);
    return std::nullopt;
  }
  if (xdgmime.exitStatus() != QProcess::NormalExit || xdgmime.exitCode() != 0) return std::nullopt;
  const std::string output = xdgmime.readAllStandardOutput().toStdString();
  const std::string id(Trimmed(output.substr(0, output.find('\n'))));
  if (id.empty()) return std::nullopt;
  return id;
}

}  // namespace

DesktopEntry ParseDesktopEntry(std::string_view contents) {
  DesktopEntry entry;
  bool ingroup = false;
  while (!contents.empty()) {
    const size_t end = contents.find('\n');
    const std::string_view line = Trimmed(contents.substr(0, end));
    contents = end == std::string_view::npos ? std::string_view() : contents.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      ingroup = line == "[Desktop Entry]";
      continue;
    }
    const size_t equals = line.find('=');
    if (!ingroup || equals == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (key == "Exec") {
      entry.Exec = std::string(value);
    } else if (key == "Name") {
      entry.Name = DecodeValueEscapes(value);
    } else if (key == "Icon") {
      entry.Icon = DecodeValueEscapes(value);
    } else if (key == "Hidden") {
      entry.Hidden = value == "true";
    }
  }
  return entry;
}

std::optional<std::vector<std::string>> SplitExecLine(std::string_view exec) {
  const std::string line = DecodeValueEscapes(exec);
  std::vector<std::string> arguments;
  std::string current;
  bool inargument = false;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\') {
        if (i + 1 == line.size()) return std::nullopt;
        const char next = line[++i];
        if (next != '"' && next != '`' && next != '$' && next != '\\') return std::nullopt;
        current += next;
      } else {
        current += c;
      }
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inargument) arguments.push_back(std::move(current));
      current.clear();
      inargument = false;
    } else if (c == '"') {
      quoted = true;
      inargument = true;
    } else {
      current += c;
      inargument = true;
    }
  }
  if (quoted) return std::nullopt;
  if (inargument) arguments.push_back(std::move(current));
  if (arguments.empty()) return std::nullopt;
  return arguments;
}

std::vector<std::string> ExecArgumentsForUrl(const std::vector<std::string>& exec,
                                             const DesktopEntry& entry,
                                             const std::string& entrypath, const std::string& url) {
  std::vector<std::string> arguments;
  for (const std::string& argument : exec) {
    const size_t placeholder = PlaceholderAt(argument);
    if (placeholder != std::string::npos) {
      arguments.push_back(ExpandFieldCodes(argument.substr(0, placeholder), entry, entrypath) +
                          url);
      return arguments;
    }
    if (argument == "%i") {
      if (!entry.Icon.empty()) {
        arguments.push_back("--icon");
        arguments.push_back(entry.Icon);
      }
      continue;
    }
    std::string expanded = ExpandFieldCodes(argument, entry, entrypath);
    // An argument that was nothing but a dropped field code is no argument at all.
    if (expanded.empty() && !argument.empty() && argument.front() == '%' && argument != "%%")
      continue;
    arguments.push_back(std::move(expanded));
  }
  arguments.push_back(url);
  return arguments;
}

std::optional<std::vector<std::string>> BrowserVariableCommand(std::string_view browser,
                                                               const std::string& url) {
  std::string_view first;
  while (!browser.empty() && first.empty()) {
    const size_t colon = browser.find(':');
    first = Trimmed(browser.substr(0, colon));
    browser = colon == std::string_view::npos ? std::string_view() : browser.substr(colon + 1);
  }
  if (first.empty()) return std::nullopt;
  std::optional<std::vector<std::string>> words = SplitExecLine(first);
  if (!words) return std::nullopt;
  bool placed = false;
  for (std::string& word : *words) {
    std::string replaced;
    for (size_t i = 0; i < word.size(); ++i) {
      if (word[i] == '%' && i + 1 < word.size() && (word[i + 1] == 's' || word[i + 1] == '%')) {
        if (word[i + 1] == 's') {
          replaced += url;
          placed = true;
        } else {
          replaced += '%';
        }
        ++i;
      } else {
        replaced += word[i];
      }
    }
    word = std::move(replaced);
  }
  if (!placed) words->push_back(url);
  return words;
}

std::optional<std::string> FindDesktopEntry(const std::string& id) {
  if (id.empty() || id.find('/') != std::string::npos || id.starts_with(".")) return std::nullopt;
  const std::string home = EnvironmentOr("HOME", "");
  std::vector<std::string> roots{
      EnvironmentOr("XDG_DATA_HOME", home.empty() ? std::string() : home + "/.local/share")};
  std::string_view dirs = EnvironmentOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
  while (!dirs.empty()) {
    const size_t colon = dirs.find(':');
    roots.emplace_back(dirs.substr(0, colon));
    dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
  }
  std::vector<std::string> names{id};
  if (const size_t dash = id.find('-'); dash != std::string::npos && dash > 0)
    names.push_back(id.substr(0, dash) + "/" + id.substr(dash + 1));
  for (const std::string& root : roots) {
    if (root.empty()) continue;
    for (const std::string& name : names) {
      const std::string path = root + "/applications/" + name;
      std::error_code error;
      if (std::filesystem::is_regular_file(path, error)) return path;
    }
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> DefaultBrowserCommand(const std::string& url) {
  if (const std::optional<std::string> id = DefaultHtmlHandler()) {
    if (const std::optional<std::string> path = FindDesktopEntry(*id)) {
      if (const std::optional<std::string> contents = ReadSmallFile(*path)) {
        const DesktopEntry entry = ParseDesktopEntry(*contents);
        if (!entry.Hidden && entry.Exec) {
          if (const auto exec = SplitExecLine(*entry.Exec))
            return ExecArgumentsForUrl(*exec, entry, *path, url);
        }
      }
    }
  }
  return BrowserVariableCommand(EnvironmentOr("BROWSER", ""), url);
}

}  // namespace ferrowyn
