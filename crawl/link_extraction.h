// Link extraction: finds a retrieved page's title and the values of its link-bearing
// attributes ("href", "frame ", "option ", "param ") and turns them into the page's links.
//
// This is a keyword scanner over the page joined into one line, not an HTML parser. The
// scan runs in time linear in the page length; its results are those of the classic
// rescan-from-the-front algorithm, byte for byte (tests compare the two on generated pages).
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "crawl/url_toolkit.h"

namespace ferrowyn {

// The title shown for a page that has none.
inline constexpr std::string_view kUntitled = "Untitled";
// The slot status shown while a page's links are filtered.
inline constexpr std::string_view kFilteringLinksStatus = "Filtering Links...";

// Deletes comments: while the text holds "<!--" and its first "-->" comes after its first
// "<!--", that "<!--" through that "-->" goes; the text that closes up is searched again,
// so "<!<!-- a -->-- b -->" loses all of it. A comment opened but never closed hides
// nothing, and a "-->" standing before the first "<!--" ends the removal and leaves later
// comments in place. Linear time; a text moved in is compacted where it lies.
std::string RemoveComments(std::string text);

// The page title of a text whose comments are gone: the text between the first "<title>"
// and the first "</title>" (searched without regard to case; empty when "</title>" comes
// first or either is missing), trimmed; then each "&" that comes before the next ";" starts
// an entity up to that ";", which becomes "&" for "&amp;", a space for "&nbsp;" (either in
// any letter case) and nothing otherwise; an "&" put in this way starts no entity. An empty
// result is "Untitled".
std::string PageTitleOf(std::string_view text);

// Calls `found` with each link value of a text whose comments are gone, in the order in
// which their keywords occur. In a value, a numeric character reference ("&#45;",
// "&#x2D;") to a printable ASCII character other than the blank is decoded, as a
// browser reads it; any other reference, and every named one, stays as written. `FileTypes` decides
// which "option" and "param" values count (one of them must occur in the value, without regard to
// case). Gives false as soon as `Stopping` is seen set, the values found so far having been handed
// out; true when the text is exhausted. Throws only what `found` throws (and std::bad_alloc).
bool ScanLinkValues(std::string_view text, const std::vector<std::string>& FileTypes,
                    const std::atomic<bool>& Stopping,
                    const std::function<void(std::string&& value)>& found);

// What a page's link extraction reports to its surroundings. Every member may be empty.
struct LinkExtractionHooks {
  // Adds the page's row (URL, title) to the page list; called once the title is known and
  // only when the page's URL is not empty.
  std::function<void(const std::string& CurrentUrl, const std::string& PageTitle)> AddPageListRow;
  // Shows the slot's status text ("Filtering Links...").
  std::function<void(std::string_view status)> ShowSlotStatus;
  // Receives each mail address found among the links (see FilterLinks).
  std::function<void(const std::string& address)> AddMailAddress;
};

// One page's link data. The crawl worker owns it and fills the inputs for each page.
struct LinkPage {
  // In: the assembled page text (see page_assembly.h); empty when the page had no lines.
  // ExtractLinks consumes it (it is left empty).
  std::string PageText;
  // In: the page's URL; trimmed by ExtractLinks.
  std::string CurrentUrl;
  // In: where relative links are resolved from (MakePageBase of CurrentUrl).
  PageBase Base;
  // Out: the title ("Untitled" when the page has none), the resolved links in document
  // order, and the links to follow, without repeats.
  std::string PageTitle;
  std::vector<std::string> RawLinks;
  std::vector<std::string> Candidates;
};

// Extracts a page's title and links: removes comments, sets PageTitle and adds the page
// list row, resolves every link value into RawLinks (ResolveLink), shows "Filtering
// Links..." and filters RawLinks into Candidates (FilterLinks with `settings`).
// Gives true when the links are ready for queueing; false when `Stopping` is set (checked
// before the work and between links, so a stop ends the scan at once), when the page has
// no text, or when the scan fails; with false no link of the page may be queued.
// Runs on the crawl worker's thread; the hooks are called on it (AddPageListRow is the
// worker's synchronised call). Throws what the hooks throw; failures of the comment
// removal, the title and the scan themselves give false. RawLinks and Candidates are
// emptied first, so a page that gives false leaves no links behind.
bool ExtractLinks(LinkPage& page, const LinkFilterSettings& settings,
                  const std::atomic<bool>& Stopping, const LinkExtractionHooks& hooks);

}  // namespace ferrowyn
