// QueueLinks: the seen test against the URL store, the level limit and the scope test
// for one page's candidate links.
#include "crawl/link_queue.h"

#include <exception>

#include "base/case_folding.h"
#include "store/qdb_errors.h"
#include "store/record_store.h"
#include "store/site_layout.h"

namespace ferrowyn {
namespace {

constexpr std::string_view kHttp = "http://";

bool EndsWithSlash(std::string_view s) { return !s.empty() && s.back() == '/'; }

std::size_t FindHttp(std::string_view s) {
  for (std::size_t i = 0; i + kHttp.size() <= s.size(); ++i) {
    std::size_t j = 0;
    while (j < kHttp.size() && AsciiLower(s[i + j]) == kHttp[j]) ++j;
    if (j == kHttp.size()) return i;
  }
  return std::string_view::npos;
}

// An index page is known by its directory: http://host/docs/index.html -> http://host/docs
std::string FoldIndexPage(std::string_view candidate) {
  std::string_view t = candidate;
  if (candidate.size() >= 8 && AsciiLower(std::string(candidate.substr(0, 8))) == "https://") {
    t.remove_prefix(8);
    if (const std::size_t slash = t.rfind('/'); slash != std::string_view::npos)
      t = t.substr(0, slash);
    return "https://" + std::string(t);
  }
  if (const std::size_t p = FindHttp(t); p != std::string_view::npos)
    t.remove_prefix(p + kHttp.size());
  if (const std::size_t slash = t.rfind('/'); slash != std::string_view::npos)
    t = t.substr(0, slash);
  return std::string(kHttp) + std::string(t);
}

// A name that begins with "index.htm" ("index.html", "INDEX.HTM?x=1"). Not one that only
// holds it: "sql-createindex.html" or "bookindex.html" are pages of their own, and folding
// them into the directory would drop them as repeats of its index page.
bool IsIndexPage(const std::string& file_name) {
  constexpr std::string_view kIndex = "index.htm";
  if (file_name.size() < kIndex.size()) return false;
  for (std::size_t i = 0; i < kIndex.size(); ++i) {
    if (AsciiLower(file_name[i]) != kIndex[i]) return false;
  }
  return true;
}

// The name that a directory link may also have been recorded under: the "/"-appended form
// of a name without extension or arguments, or of a directory written without its "/".
bool AlsoWithSlash(const std::string& file_name, std::string_view key) {
  return (!file_name.empty() && file_name.find_first_of(".?=") == std::string::npos) ||
         (file_name.empty() && !EndsWithSlash(key));
}

}  // namespace

void AddStartUrl(TQDB& urldb, std::string_view start_url) {
  try {
    urldb.AddItem(kUrlRecord, CutKey(start_url));
    urldb.Commit();
  } catch (const EQDBIndexError&) {
    // Already recorded: nothing to do.
  }
}

QueueLinksResult QueueLinks(const std::vector<std::string>& Candidates, const QueuePage& page,
                            const CrawlOrigin& origin, const LevelLimit& levels, TQDB& urldb,
                            UrlQueue& queue,
                            const std::function<void(const std::string& link)>& AddRejectedNode,
                            const std::function<bool()>& StopAll) {
  QueueLinksResult result;
  const auto stopping = [&] { return StopAll && StopAll(); };
  const auto reject = [&](const std::string& link) {
    if (AddRejectedNode) AddRejectedNode(link);
  };

  std::vector<const std::string*> fresh;
  for (const std::string& candidate : Candidates) {
    if (stopping()) return result;
    std::string name = FileNamePart(candidate);
    std::string key = candidate;
    if (IsIndexPage(name)) {
      key = FoldIndexPage(candidate);
      name.clear();
    }
    std::vector<std::string> tested{key};
    if (AlsoWithSlash(name, key)) tested.push_back(key + "/");
    if (EndsWithSlash(key)) tested.push_back(key.substr(0, key.size() - 1));

    bool repeat = false;
    try {
      for (const std::string& k : tested) {
        if (urldb.FindKey(CutKey(k))) {
          repeat = true;
          break;
        }
      }
      if (!repeat) {
        urldb.AddItem(std::string_view(), CutKey(key));
        urldb.Commit();
      }
    } catch (const EQDBIndexError&) {
      repeat = true;  // the key is there already
    } catch (const std::exception& e) {
      result.DbError = true;
      result.ErrorText = e.what();
      return result;
    }
    if (repeat)
      reject(candidate);
    else
      fresh.push_back(&candidate);
  }

  const bool too_deep = levels.LimitLevels && page.Depth >= levels.MaxLevels;
  for (const std::string* candidate : fresh) {
    if (stopping()) return result;
    if (!too_deep && InScope(origin, *candidate)) {
      queue.push_back({*candidate, page.PageNode});
      ++result.QueuedCount;
    } else {
      reject(*candidate);
    }
  }
  return result;
}

}  // namespace ferrowyn
