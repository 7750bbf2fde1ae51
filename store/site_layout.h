// The layout of a site inside the site store: record keys, the three list records a saved
// site carries ("WEBLIST", "EMAIL", "WEBMAP") and their text forms, the page count, and
// starting fresh scratch stores for a retrieval. The format is written up in
// docs/site_store_layout.md.
//
// The text functions are pure and safe on any thread. StartNewStores works on the two
// record stores and so runs on the GUI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/item_coder.h"
#include "store/qdb_format.h"

namespace ferrowyn {

class TQDB;

// Every key the store sees is cut to this many characters first.
inline constexpr std::size_t kMaxKeyLength = qdb::kMaxKeyLength;

inline constexpr std::string_view kDisplayPrefix = "DISPLAYXX";
inline constexpr std::string_view kQueryPrefix = "QUERYXX";
inline constexpr std::string_view kWebListKey = "WEBLIST";
inline constexpr std::string_view kEmailKey = "EMAIL";
inline constexpr std::string_view kWebMapKey = "WEBMAP";
// The single line of a list record whose list was empty.
inline constexpr std::string_view kPlaceholder = "PLACEHOLDER";

inline constexpr std::string_view kSiteExtension = ".fwb";
inline constexpr std::string_view kSiteScratchFile = "temp.fwt";
inline constexpr std::string_view kUrlScratchFile = "url.fwt";
inline constexpr std::int64_t kUrlStoreCacheSize = 1024;

// The site file for a name chosen in the save dialog: the first ".fwb" (exact case) leaves
// the file name and ".fwb" goes on its end, so a name typed with or without the extension
// gives the same file. Only the file name is looked at: a directory whose name holds
// ".fwb" is where the user asked the file to go, and stays as it is. Pure.
std::string SiteFileName(const std::string& chosen);

// `key` cut to its first kMaxKeyLength characters.
std::string CutKey(std::string_view key);
// "DISPLAYXX" + url and "QUERYXX" + url, cut to kMaxKeyLength.
std::string DisplayKey(std::string_view url);
std::string QueryKey(std::string_view url);

// A record's lines: split at every CR LF, lone CR and lone LF; a line break at the very
// end does not start another line, so "" gives no lines. Bytes are kept as they are.
std::vector<std::string> SplitRecordLines(std::string_view bytes);
// Each line followed by CR LF.
std::string JoinRecordLines(const std::vector<std::string>& lines);

// One row of the page list. The record is line based: a CR or LF inside a text is written
// as a blank.
struct PageListRow {
  std::string Url;
  std::string Title;
  bool operator==(const PageListRow&) const = default;
};

// "WEBLIST": "[URL]", "URL=" + url, "Title=" + title for each row, or "PLACEHOLDER".
std::string WriteWebList(const std::vector<PageListRow>& rows);
// The rows of a "WEBLIST" record. A first line "PLACEHOLDER" means no rows. Every line
// that is exactly "[URL]" and has two lines after it gives a row from those two lines,
// each taken after its first "=" (the whole line when it has none); the words before
// the "=" are not checked, so a title holding "=" survives.
std::vector<PageListRow> ReadWebList(std::string_view bytes);

// "EMAIL": one address per line (CR and LF inside one written as blanks), or
// "PLACEHOLDER" for none.
std::string WriteEmail(const std::vector<std::string>& lines);
// The mail lines of an "EMAIL" record, less a first line "PLACEHOLDER".
std::vector<std::string> ReadEmail(std::string_view bytes);

// A node of the site map: its text (a URL) and its children in order.
struct SiteMapTreeNode {
  std::string Text;
  std::vector<SiteMapTreeNode> Children;
  bool operator==(const SiteMapTreeNode&) const = default;
};
// The top-level nodes of a site map, in order.
using SiteMapTree = std::vector<SiteMapTreeNode>;

// Raised for a "WEBMAP" line more than one level deeper than the node before it.
class ESiteMapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "WEBMAP": one line per node in depth-first order, as many tabs as the node's depth and
// then its text (CR and LF inside it written as blanks); "PLACEHOLDER" for an empty tree.
// Texts must not begin with a tab or a blank (they would read back as depth).
std::string WriteWebMap(const SiteMapTree& tree);
// The same record written node by node, in depth-first order, by an owner that holds
// the tree in a form of its own and should not copy it first.
class WebMapWriter {
 public:
  WebMapWriter() = default;
  // With `compress`, the record is compressed a piece at a time as it is written (see
  // TakeStored), so that the record of a large map is never held whole.
  explicit WebMapWriter(bool compress) : compress_(compress) {}

  void Add(std::size_t depth, std::string_view text);
  // The record; the writer is empty again. Only without `compress`.
  std::string Take();

  // The record's stored form (as CompressItem gives it) and its size in bytes; the writer
  // is empty again. Only with `compress`.
  struct StoredRecord {
    std::string compressed;
    std::size_t size = 0;
  };
  StoredRecord TakeStored();

 private:
  bool compress_ = false;
  std::string out_;  // with `compress`, the text not yet handed to the compressor
  ItemCompressor compressor_;
};
// The tree of a "WEBMAP" record. A line's depth is its number of leading tabs and
// blanks, its text the rest. The first line is a top-level node whatever its depth; a
// later line of the previous node's depth is its next sibling, one deeper its first
// child, shallower the next sibling of its ancestor at that depth. A first node whose
// text is "PLACEHOLDER" is deleted, like any deleted tree node with its subtree.
// Throws ESiteMapError for a line more than one level deeper than the node before it.
SiteMapTree ReadWebMap(std::string_view bytes);
// Reads a "WEBMAP" record as ReadWebMap does without building the tree: the text of the
// tree's first top-level node, nullopt for an empty tree. Throws as ReadWebMap does.
std::optional<std::string> CheckWebMap(std::string_view bytes);
// CheckWebMap over a record handed in parts (TQDB::ScanItem), so that a large site's map
// is never held whole: the parts joined are the record. Add throws as CheckWebMap does,
// at the first bad line.
class WebMapCheck {
 public:
  void Add(std::string_view part);
  // What CheckWebMap gives for the record; the check is used up.
  std::optional<std::string> Finish();

 private:
  void Line(std::string_view line);

  std::string carry_;       // the start of a line that the last part ended inside
  bool after_cr_ = false;   // the last part ended with a CR: an LF first in the next is its end
  std::size_t levels_ = 0;  // the previous node's level + 1; 0 before the first line
  std::optional<std::string> first_, second_;  // the first two top-level texts
};

// The pages of a site store holding `count` records: (count - 3) / 2 when it holds the
// "EMAIL" record (a saved site), count / 2 otherwise, rounded toward zero.
int StoredPageCount(int count, bool has_email_record);
// The same read from a store (Count and KeyExists("EMAIL")).
int StoredPageCount(const TQDB& store);

// Starts empty scratch stores for a retrieval: creates `data_dir` when missing; for the
// site store on "temp.fwt" and the URL store on "url.fwt": closes the store (which writes
// its previous file back), deletes the scratch file, assigns it (an empty store), clears
// the cache, deletes whatever items an undeletable old file brought in, and clears the
// cache again. Then the cache budgets: 1,024 bytes for the URL store and
// `internal_cache_setting` x 1,024 bytes for the site store.
// Throws what the stores throw (EQDBError family) and std::filesystem::filesystem_error
// when the directory cannot be made; a file that cannot be deleted is not an error.
void StartNewStores(TQDB& site_store, TQDB& url_store, const std::filesystem::path& data_dir,
                    int internal_cache_setting);

}  // namespace ferrowyn
