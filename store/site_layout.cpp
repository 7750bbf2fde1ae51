// Keys, list records and scratch stores of the site store.
#include "store/site_layout.h"

#include <algorithm>
#include <system_error>

namespace ferrowyn {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUrlSection = "[URL]";

// The text after the first "=", or the whole line when it has none.
std::string ValueOf(const std::string& line) {
  const std::size_t eq = line.find('=');
  return eq == std::string::npos ? line : line.substr(eq + 1);
}

void WriteNodes(const std::vector<SiteMapTreeNode>& nodes, std::size_t depth, std::string& out) {
  for (const SiteMapTreeNode& node : nodes) {
    out.append(depth, '\t');
    out += node.Text;
    out += kCrLf;
    WriteNodes(node.Children, depth + 1, out);
  }
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
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
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
    out += "URL=" + row.Url;
    out += kCrLf;
    out += "Title=" + row.Title;
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
  return JoinRecordLines(lines);
}

std::vector<std::string> ReadEmail(std::string_view bytes) {
  std::vector<std::string> lines = SplitRecordLines(bytes);
  if (!lines.empty() && lines[0] == kPlaceholder) lines.erase(lines.begin());
  return lines;
}

std::string WriteWebMap(const SiteMapTree& tree) {
  if (tree.empty()) return JoinRecordLines({std::string(kPlaceholder)});
  std::string out;
  WriteNodes(tree, 0, out);
  return out;
}

SiteMapTree ReadWebMap(std::string_view bytes) {
  SiteMapTree tree;
  // The children lists from the top level down to the previous node's level; the
  // previous node is the last element of path.back(). A node is appended only to the
  // deepest list, so the pointers into shallower lists stay valid.
  std::vector<std::vector<SiteMapTreeNode>*> path;
  for (const std::string& line : SplitRecordLines(bytes)) {
    const std::size_t depth = line.find_first_not_of("\t ") == std::string::npos
                                  ? line.size()
                                  : line.find_first_not_of("\t ");
    SiteMapTreeNode node{line.substr(depth), {}};
    if (path.empty()) {
      tree.push_back(std::move(node));
      path.push_back(&tree);
      continue;
    }
    const std::size_t previous = path.size() - 1;
    if (depth > previous + 1) {
      throw ESiteMapError("Invalid level (" + std::to_string(depth) + ") for item \"" + node.Text +
                          "\"");
    }
    if (depth == previous + 1) {
      path.push_back(&path.back()->back().Children);
    } else {
      path.resize(depth + 1);
    }
    path.back()->push_back(std::move(node));
  }
  if (!tree.empty() && tree.front().Text == kPlaceholder) tree.erase(tree.begin());
  return tree;
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
