// Query files (".fwq"): the plain-text report of one query's results. This side only
// turns a report into the file's lines and lines back into a report; the dialogs and
// the results list belong to the search center.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

inline constexpr char kQueryFileExtension[] = ".fwq";
inline constexpr char kQueryReportHeading[] = "Ferrowyn! Query Report";
// Closes the heading block and every result record.
inline constexpr char kQueryReportRule[] = "----------------------------------------------------";

// One row of the results list, as its three cells show it.
struct QueryResultRow {
  std::string url;
  std::string hits;   // the hit count as shown
  std::string found;  // "All" or the keywords found, joined with " | "
  bool operator==(const QueryResultRow&) const = default;
};

// What a query file says. Texts are 8-bit and hold no CR or LF: the file is line based.
struct QueryReport {
  std::string sitename;
  std::string datetime;  // the date and time of saving, as the user's formats show it
  std::string keywords;
  bool any = true;  // any keyword, else all of them
  bool wholeword = false;
  bool casesensitive = false;
  std::vector<QueryResultRow> rows;
  bool operator==(const QueryReport&) const = default;
};

// What reading a query file finds. Texts a file does not give stay empty; options it
// does not give are nullopt, since the reader keeps the options it had before.
struct QueryFileContents {
  std::string sitename;  // the last "Site: " line's rest
  std::string keywords;  // the last "Search: " line's rest
  std::optional<std::string> datetime;
  std::optional<bool> any;
  std::optional<bool> wholeword;
  std::optional<bool> casesensitive;
  std::vector<QueryResultRow> rows;
  bool operator==(const QueryFileContents&) const = default;

  // Loading counts as complete only with both a site and a search text.
  bool Complete() const { return !sitename.empty() && !keywords.empty(); }
};

// A query file could not be read or written. The text names the file.
class EQueryFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file name a typed or chosen name stands for: ".fwq" is appended unless it
// occurs somewhere in the name already (exact letter case).
std::string QueryFileName(const std::string& chosen);

// The file's bytes: every line ended by CR LF, the last one too.
std::string QueryReportText(const QueryReport& report);

// Reads the lines of a query file. Lines break at CR LF, lone CR and lone LF. Each line
// is tested against every prefix, exactly and with letter case: "Site: ", "Search: ",
// "Type: " (any exactly when the rest is "ANY"), "Word: " and "CaseSensitive: " (on
// exactly when the rest is "ON"), "Date/Time: ". A line that begins with "URL:" and has
// at least three lines after it starts a record when it and the next two lines each
// hold a blank: the cells are the texts after each line's first blank, whatever those
// two lines begin with. Never throws on any bytes.
QueryFileContents ReadQueryReport(std::string_view bytes);

// Writes the report to `path`, replacing a file there only once the new one is
// complete and on disk (a temporary file beside it is renamed over it). Throws
// EQueryFileError; the old file is then untouched. Any thread.
void WriteQueryFile(const std::string& path, const QueryReport& report);

// Reads and parses the file at `path`. Throws EQueryFileError when it cannot be read.
QueryFileContents ReadQueryFile(const std::string& path);

// Replaces the file at `path` with `bytes` as WriteQueryFile does; throws
// EQueryFileError naming the file. Shared with the other plain-text files we write.
void ReplaceFileWith(const std::string& path, std::string_view bytes);
// The whole file; throws EQueryFileError naming the file.
std::string ReadWholeFile(const std::string& path);

}  // namespace ferrowyn
