// Keys, list records and scratch stores of the site store.
#include "store/site_layout.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "base/byte_scan.h"

namespace ferrowyn {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUrlSection = "[URL]";

// The text after the first "=", or the whole line when it has none.
std::string ValueOf(const std::string& line) {
  const std::size_t eq = line.find('=');
  return eq == std::string::npos ? line : line.substr(eq + 1);
}

// Appends `text` with every CR and LF as a blank: a line break inside a text (a title
// spread over several lines of its page) would split it into lines of its own.
void AppendOneLine(std::string& out, std::string_view text) {
  const std::size_t from = out.size();
  out += text;
  std::replace_if(
      out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
      [](char c) { return c == '\r' || c == '\n'; }, ' ');
}

void WriteNodes(const std::vector<SiteMapTreeNode>& nodes, std::size_t depth, WebMapWriter& out) {
  for (const SiteMapTreeNode& node : nodes) {
    out.Add(depth, node.Text);
    WriteNodes(node.Children, depth + 1, out);
  }
}

// Calls line(text) for each line of a record: lines end at CR LF, CR or LF, and a last
// line needs no end.
template <typename F>
void ForEachRecordLine(std::string_view bytes, F&& line) {
  // The breaks are found sixteen bytes at a time: a large site's map record is megabytes of
  // short lines, read whenever the site is opened.
  static const ByteFinder kLineBreak("\r\n");
  std::size_t start = 0;
  kLineBreak.ForEach(bytes, 0, [&](std::size_t end) {
    if (end < start) return true;  // the LF of a CR LF just passed
    line(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    return true;
  });
  if (start < bytes.size()) line(bytes.substr(start));
}

// The level in the tree (0 for a top-level node) of a "WEBMAP" record's line and its text,
// as ReadWebMap describes; `levels` is the previous node's level + 1, 0 before the first
// line. Throws ESiteMapError for a line more than one level deeper than the node before it.
std::size_t NodeLevel(std::string_view line, std::size_t& levels, std::string_view& text) {
  std::size_t depth = 0;
  while (depth < line.size() && (line[depth] == '\t' || line[depth] == ' ')) ++depth;
  text = line.substr(depth);
  if (levels == 0) {
    depth = 0;
  } else if (depth > levels) {
    throw ESiteMapError("Invalid level (" + std::to_string(depth) + ") for item \"" +
                        std::string(text) + "\"");
  }
  levels = depth + 1;
  return depth;
}

// Calls node(level, text) for each line of a "WEBMAP" record, with its NodeLevel.
template <typename F>
void WalkWebMap(std::string_view bytes, F&& node) {
  std::size_t levels = 0;
  ForEachRecordLine(bytes, [&](std::string_view line) {
    std::string_view text;
    const std::size_t level = NodeLevel(line, levels, text);
    node(level, text);
  });
}

}  // namespace

std::string CutKey(std::string_view key) {
  return std::string(key.substr(0, std::min(key.size(), kMaxKeyLength)));
}

std::string DisplayKey(std::string_view url) {
  return CutKey(std::string(kDisplayPrefix) + std::string(url));
}

std::string QueryKey(std::string_view url) {
  return CutKey(std::string(kQueryPrefix) + std::string(url));
}

std::vector<std::string> SplitRecordLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ForEachRecordLine(bytes, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string JoinRecordLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += kCrLf;
  }
  return out;
}

std::string WriteWebList(const std::vector<PageListRow>& rows) {
  if (rows.empty()) return JoinRecordLines({std::string(kPlaceholder)});
  std::string out;
  for (const PageListRow& row : rows) {
    out += kUrlSection;
    out += kCrLf;
    out += "URL=";
    AppendOneLine(out, row.Url);
    out += kCrLf;
    out += "Title=";
    AppendOneLine(out, row.Title);
    out += kCrLf;
  }
  return out;
}

std::vector<PageListRow> ReadWebList(std::string_view bytes) {
  const std::vector<std::string> lines = SplitRecordLines(bytes);
  std::vector<PageListRow> rows;
  if (lines.empty() || lines[0] == kPlaceholder) return rows;
  for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
    if (lines[i] == kUrlSection) rows.push_back({ValueOf(lines[i + 1]), ValueOf(lines[i + 2])});
  }
  return rows;
}

std::string WriteEmail(const std::vector<std::string>& lines) {
  if (lines.empty()) return JoinRecordLines({std::string(kPlaceholder)});
  std::string out;
  for (const std::string& line : lines) {
    AppendOneLine(out, line);
    out += kCrLf;
  }
  return out;
}

std::vector<std::string> ReadEmail(std::string_view bytes) {
  std::vector<std::string> lines = SplitRecordLines(bytes);
  if (!lines.empty() && lines[0] == kPlaceholder) lines.erase(lines.begin());
  return lines;
}

void WebMapWriter::Add(std::size_t depth, std::string_view text) {
  out_.append(depth, '\t');
  AppendOneLine(out_, text);
  out_ += kCrLf;
  if (compress_ && out_.size() >= kPieceSize) {
    compressor_.Add(out_);
    out_.clear();
  }
}

std::string WebMapWriter::Take() {
  if (out_.empty()) return JoinRecordLines({std::string(kPlaceholder)});
  return std::exchange(out_, std::string());
}

WebMapWriter::StoredRecord WebMapWriter::TakeStored() {
  if (out_.empty() && compressor_.RawSize() == 0)
    out_ = JoinRecordLines({std::string(kPlaceholder)});
  compressor_.Add(out_);
  out_ = std::string();
  StoredRecord record;
  record.size = compressor_.RawSize();
  record.compressed = compressor_.Take();
  return record;
}

std::string WriteWebMap(const SiteMapTree& tree) {
  WebMapWriter out;
  WriteNodes(tree, 0, out);
  return out.Take();
}

SiteMapTree ReadWebMap(std::string_view bytes) {
  SiteMapTree tree;
  // path[level]: the children list that takes a node of that level. A node is appended
  // only to the deepest list, so the pointers into shallower lists stay valid.
  std::vector<std::vector<SiteMapTreeNode>*> path;
  WalkWebMap(bytes, [&](std::size_t level, std::string_view text) {
    path.resize(level + 1);
    path[level] = level == 0 ? &tree : &path[level - 1]->back().Children;
    path[level]->push_back({std::string(text), {}});
  });
  if (!tree.empty() && tree.front().Text == kPlaceholder) tree.erase(tree.begin());
  return tree;
}

std::optional<std::string> CheckWebMap(std::string_view bytes) {
  WebMapCheck check;
  check.Add(bytes);
  return check.Finish();
}

// The lines as ForEachRecordLine finds them in the parts joined, a line that runs across
// parts gathered in `carry_`; each line's level as WalkWebMap finds it.
void WebMapCheck::Add(std::string_view part) {
  static const ByteFinder kLineBreak("\r\n");
  std::size_t start = 0;
  if (after_cr_ && !part.empty()) {
    after_cr_ = false;
    if (part.front() == '\n') start = 1;
  }
  kLineBreak.ForEach(part, start, [&](std::size_t end) {
    if (end < start) return true;  // the LF of a CR LF just passed
    if (carry_.empty()) {
      Line(part.substr(start, end - start));
    } else {
      carry_.append(part.substr(start, end - start));
      Line(carry_);
      carry_.clear();
    }
    start = end + 1;
    if (part[end] == '\r') {
      if (start == part.size()) {
        after_cr_ = true;
      } else if (part[start] == '\n') {
        ++start;
      }
    }
    return true;
  });
  if (start < part.size()) carry_.append(part.substr(start));
}

std::optional<std::string> WebMapCheck::Finish() {
  if (!carry_.empty()) Line(carry_);
  carry_.clear();
  return first_ && *first_ == kPlaceholder ? second_ : first_;
}

void WebMapCheck::Line(std::string_view line) {
  std::string_view text;
  if (NodeLevel(line, levels_, text) != 0) return;
  if (!first_) {
    first_ = text;
  } else if (!second_) {
    second_ = text;
  }
}

int StoredPageCount(int count, bool has_email_record) {
  return has_email_record ? (count - 3) / 2 : count / 2;
}

std::string SiteFileName(const std::string& chosen) {
  const std::filesystem::path path(chosen);
  std::string name = path.filename().string();
  const std::size_t at = name.find(kSiteExtension);
  if (at != std::string::npos) name.erase(at, kSiteExtension.size());
  name += kSiteExtension;
  return (path.parent_path() / name).string();
}

}  // namespace ferrowyn
