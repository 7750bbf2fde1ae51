// Writing and reading the lines of query files, and the whole-file reads and atomic
// replacements they (and the mail list's text files) are made with.
#include "store/query_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

#include "store/site_layout.h"
#include "store/store_file_io.h"

namespace ferrowyn {
namespace {

constexpr std::string_view kSite = "Site: ";
constexpr std::string_view kDateTime = "Date/Time: ";
constexpr std::string_view kSearch = "Search: ";
constexpr std::string_view kType = "Type: ";
constexpr std::string_view kWord = "Word: ";
constexpr std::string_view kCaseSensitive = "CaseSensitive: ";
constexpr std::string_view kUrl = "URL: ";
constexpr std::string_view kHits = "Hits: ";
constexpr std::string_view kInstances = "Instances: ";
// A record starts at a line that begins with this (the blank is not required).
constexpr std::string_view kRecordStart = "URL:";
constexpr std::string_view kCrLf = "\r\n";

void AddLine(std::string& text, std::string_view prefix, std::string_view rest) {
  text.append(prefix).append(rest).append(kCrLf);
}

// The text after the first blank; nullopt when the line has none.
std::optional<std::string> AfterFirstBlank(const std::string& line) {
  const size_t blank = line.find(' ');
  if (blank == std::string::npos) return std::nullopt;
  return line.substr(blank + 1);
}

std::string Reason(int error) { return std::generic_category().message(error); }

// Closes the descriptor and removes the temporary file unless the rename took it.
class PendingFile {
 public:
  PendingFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }
  void Keep() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

[[noreturn]] void ThrowCreateError(const std::string& path, int error) {
  throw EQueryFileError("Cannot create file \"" + path + "\". " + Reason(error));
}

[[noreturn]] void ThrowNotRegular(const std::string& path) {
  throw EQueryFileError("Cannot create file \"" + path + "\". It is not a regular file.");
}

}  // namespace

std::string QueryFileName(const std::string& chosen) {
  if (chosen.find(kQueryFileExtension) != std::string::npos) return chosen;
  return chosen + kQueryFileExtension;
}

std::string QueryReportText(const QueryReport& report) {
  std::string text;
  AddLine(text, kQueryReportHeading, "");
  AddLine(text, kSite, report.sitename);
  AddLine(text, kDateTime, report.datetime);
  AddLine(text, kSearch, report.keywords);
  AddLine(text, kType, report.any ? "ANY" : "ALL");
  AddLine(text, kWord, report.wholeword ? "ON" : "OFF");
  AddLine(text, kCaseSensitive, report.casesensitive ? "ON" : "OFF");
  AddLine(text, kQueryReportRule, "");
  for (const QueryResultRow& row : report.rows) {
    AddLine(text, kUrl, row.url);
    AddLine(text, kHits, row.hits);
    AddLine(text, kInstances, row.found);
    AddLine(text, kQueryReportRule, "");
  }
  return text;
}

QueryFileContents ReadQueryReport(std::string_view bytes) {
  const std::vector<std::string> lines = SplitRecordLines(bytes);
  QueryFileContents contents;
  // Several tests may apply to one line; none of them excludes another.
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.starts_with(kSite)) contents.sitename = line.substr(kSite.size());
    if (line.starts_with(kDateTime)) contents.datetime = line.substr(kDateTime.size());
    if (line.starts_with(kSearch)) contents.keywords = line.substr(kSearch.size());
    if (line.starts_with(kType)) contents.any = line.substr(kType.size()) == "ANY";
    if (line.starts_with(kWord)) contents.wholeword = line.substr(kWord.size()) == "ON";
    if (line.starts_with(kCaseSensitive))
      contents.casesensitive = line.substr(kCaseSensitive.size()) == "ON";
    // Three more lines are needed: the record's own two and its closing rule, so a last
    // record cut off before its rule is dropped.
    if (line.starts_with(kRecordStart) && i + 3 < lines.size()) {
      std::optional<std::string> url = AfterFirstBlank(line);
      std::optional<std::string> hits = AfterFirstBlank(lines[i + 1]);
      std::optional<std::string> found = AfterFirstBlank(lines[i + 2]);
      if (url && hits && found)
        contents.rows.push_back({std::move(*url), std::move(*hits), std::move(*found)});
    }
  }
  return contents;
}

void ReplaceFileWith(const std::string& path, std::string_view bytes) {
  const qdb_io::ReplacementTarget target = qdb_io::ResolveReplacementTarget(path);
  if (target.error != 0) ThrowCreateError(path, target.error);
  if (target.refused) ThrowNotRegular(path);
  // The temporary name is unique within this process by the counter and across
  // processes by the pid; O_EXCL refuses anything that is there all the same.
  static std::atomic<unsigned> counter{0};
  int fd = -1;
  std::string temporary;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = target.path + ".~" + std::to_string(::getpid()) + "." + std::to_string(counter++);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) ThrowCreateError(path, errno);
  }
  PendingFile pending(fd, temporary);
  // A replaced file keeps its permissions: a private list stays private.
  struct stat old;
  if (::stat(target.path.c_str(), &old) == 0 && ::fchmod(pending.fd(), old.st_mode & 07777) != 0)
    ThrowCreateError(path, errno);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(pending.fd(), bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      ThrowCreateError(path, errno);
    }
    done += static_cast<size_t>(written);
  }
  if (::fsync(pending.fd()) != 0) ThrowCreateError(path, errno);
  if (pending.Close() != 0) ThrowCreateError(path, errno);
  if (!qdb_io::StillReplaceable(target.path)) ThrowNotRegular(path);
  if (::rename(pending.path().c_str(), target.path.c_str()) != 0) ThrowCreateError(path, errno);
  pending.Keep();
}

std::string ReadWholeFile(const std::string& path) {
  // O_NONBLOCK: a FIFO must not hold the open until a writer comes; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw EQueryFileError("Cannot open file \"" + path + "\". " + Reason(errno));
  PendingFile file(fd, "");
  struct stat st;
  if (::fstat(file.fd(), &st) != 0)
    throw EQueryFileError("Cannot open file \"" + path + "\". " + Reason(errno));
  if (!S_ISREG(st.st_mode))
    throw EQueryFileError("Cannot open file \"" + path + "\". It is not a regular file.");
  // The size at opening bounds the read: a file that grows meanwhile is cut there.
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(file.fd(), bytes.data() + done, bytes.size() - done);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EQueryFileError("Cannot open file \"" + path + "\". " + Reason(errno));
    }
    done += static_cast<size_t>(got);
  }
  bytes.resize(done);
  return bytes;
}

void WriteQueryFile(const std::string& path, const QueryReport& report) {
  ReplaceFileWith(path, QueryReportText(report));
}

QueryFileContents ReadQueryFile(const std::string& path) {
  return ReadQueryReport(ReadWholeFile(path));
}

}  // namespace ferrowyn
