// Opening a stored page in the viewer, with and without the last query's keywords marked.
#include "view/page_display.h"

#include <cstdint>
#include <utility>

#include "base/user_port.h"
#include "store/record_store.h"
#include "store/site_layout.h"
#include "view/highlighting.h"
#include "view/page_rendering.h"

namespace ferrowyn {
namespace {

constexpr char kOpenSiteFirst[] = "You must first open a Ferrowyn! site to search.";
constexpr char kSiteDiffers[] =
    "The current Ferrowyn! site does not correspond to the open query. Please open the "
    "associated site and then try again.";
constexpr char kPageMissing[] = "This page could not be found in the current Ferrowyn! site.";
constexpr char kQueryResultFailed[] = "There was an error while trying to open query result.";
// The sentence lacks a word, but it is the text users and their documentation know.
constexpr char kPageFailed[] = "There was an error while trying to requested page.";

std::uint32_t ColorValue(Rgb color) {
  return static_cast<std::uint32_t>(color.red) | (static_cast<std::uint32_t>(color.green) << 8) |
         (static_cast<std::uint32_t>(color.blue) << 16);
}

}  // namespace

std::string HighlightColorOf(Rgb color) { return HighlightColorString(ColorValue(color)); }

namespace {

ViewerPage ToViewer(PageRendering rendering, const std::string& url, int helptopic) {
  return ViewerPage{std::move(rendering.HtmlLines), std::move(rendering.TextLines),
                    std::move(rendering.Caption), url, helptopic};
}

}  // namespace

void PageDisplay::Fail(const std::string& text) {
  Cursor(false);
  port_.Error(text);
}

std::optional<std::string> PageDisplay::ReadStoredPage(const std::string& url) {
  if (!QDB_.FindKey(DisplayKey(url))) return std::nullopt;
  return QDB_.GetItem();
}

bool PageDisplay::displayinternal(const std::optional<std::string>& selectedurl,
                                  const DisplaySiteState& site, const DisplayQueryState& query,
                                  const DisplayHighlightSettings& settings) {
  if (!selectedurl) {
    Fail(kSelectQueryResultFirst);
    return false;
  }
  // The refusal, if any; the message is shown outside the try block so that a failing
  // message box is not reported as a second failure.
  const char* refusal = nullptr;
  try {
    Cursor(true);
    const std::string& url = *selectedurl;
    PageHighlight highlight;
    highlight.Keywords = HighlightKeywordList(query.querykeywords);
    std::optional<std::string> record;
    if (!site.siteloaded) {
      refusal = kOpenSiteFirst;
    } else if (query.querysitename != site.sitename) {
      // The results name pages of another site, which this store may lack or hold
      // with other contents.
      refusal = kSiteDiffers;
    } else if (record = ReadStoredPage(url); !record) {
      refusal = kPageMissing;
    } else {
      highlight.Color = HighlightColorOf(settings.highlightcolor);
      highlight.MatchCase = query.querycasesensitive;
      highlight.WholeWord = query.querywholeword;
      highlight.InHtml = settings.highgraph;
      highlight.InText = settings.hightext;
      viewer_.ShowPage(ToViewer(RenderPage(*record, highlight), url, kQueryResultHelpTopic));
    }
  } catch (...) {
    refusal = kQueryResultFailed;
  }
  if (refusal) {
    Fail(refusal);
    return false;
  }
  Cursor(false);
  return true;
}

bool PageDisplay::displayinternalnokeys(const std::string& url, const DisplaySiteState& site) {
  if (!site.siteloaded) {
    Fail(kOpenSiteFirst);
    return false;
  }
  const char* refusal = nullptr;
  try {
    Cursor(true);
    if (const std::optional<std::string> record = ReadStoredPage(url)) {
      viewer_.ShowPage(ToViewer(RenderPage(*record), url, kPageHelpTopic));
    } else {
      refusal = kPageMissing;
    }
  } catch (...) {
    refusal = kPageFailed;
  }
  if (refusal) {
    Fail(refusal);
    return false;
  }
  Cursor(false);
  return true;
}

}  // namespace ferrowyn
