// Opening a stored page graphic-free in the viewer: a query result with the last query's
// keywords marked (`displayinternal`), or a page from the site map or the page list
// without (`displayinternalnokeys`). Checks the state, reads the page from the site store,
// renders it and hands it to the viewer; every refusal is an error message.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/color_text.h"
#include "view/page_viewer.h"

namespace ferrowyn {

class TQDB;
class UserPort;

// Help topics of the viewer.
inline constexpr int kQueryResultHelpTopic = 1053;
inline constexpr int kPageHelpTopic = 1028;

// Opening a query result, or handing it to the browser, with no results row selected.
inline constexpr char kSelectQueryResultFirst[] = "You must first select a query result to open.";

// The highlight colour string ("#RRGGBB") of the highlight colour setting.
std::string HighlightColorOf(Rgb color);

// The main window's state the two operations read, taken when the operation starts.
struct DisplaySiteState {
  bool siteloaded = false;
  std::string sitename;
};

struct DisplayQueryState {
  std::string querysitename;
  std::string querykeywords;
  bool querywholeword = false;
  bool querycasesensitive = false;
};

// The live settings read by `displayinternal`.
struct DisplayHighlightSettings {
  bool highgraph = false;  // "Highlight HTML"
  bool hightext = false;   // "Highlight Text-Only"
  Rgb highlightcolor;
};

// Holds references only: `QDB`, `port` and `viewer` outlive it. GUI thread only. The site
// store is only read. Every failure becomes a message; nothing is thrown but what the user
// port or the cursor hook throws.
class PageDisplay {
 public:
  PageDisplay(TQDB& QDB, UserPort& port, PageViewer& viewer)
      : QDB_(QDB), port_(port), viewer_(viewer) {}

  // Called with true for the hourglass cursor and false for the normal one; the cursor
  // is back to normal before every message. Default: nothing.
  void SetCursorHook(std::function<void(bool hourglass)> hook) { cursor_ = std::move(hook); }

  // The query result `selectedurl` (the first column of the selected row of `querylist`;
  // nullopt when no row is selected), marked as `settings` say, with help topic 1053.
  // True when the page was handed to the viewer.
  bool displayinternal(const std::optional<std::string>& selectedurl, const DisplaySiteState& site,
                       const DisplayQueryState& query, const DisplayHighlightSettings& settings);

  // The stored page of `url` unmarked, with help topic 1028. True when it was handed to
  // the viewer.
  bool displayinternalnokeys(const std::string& url, const DisplaySiteState& site);

 private:
  // The "DISPLAYXX" record of `url`, or nullopt when the site store has none. Throws
  // EQDBError.
  std::optional<std::string> ReadStoredPage(const std::string& url);
  void Cursor(bool hourglass) {
    if (cursor_) cursor_(hourglass);
  }
  void Fail(const std::string& text);

  TQDB& QDB_;
  UserPort& port_;
  PageViewer& viewer_;
  std::function<void(bool)> cursor_;
};

}  // namespace ferrowyn
