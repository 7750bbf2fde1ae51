// Everything the viewer window shows of a stored page, from the bytes of its "DISPLAYXX"
// record: the HTML rendering for the upper pane, the text-only rendering for the lower
// pane and the window caption, with or without the last query's keywords marked. The
// store lookup, the messages and the viewer itself are the caller's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ferrowyn {

struct PageRendering {
  std::vector<std::string> HtmlLines;  // the upper pane: the page text as one line
  std::vector<std::string> TextLines;  // the lower pane
  std::string Caption;                 // the page's title, or "Untitled"
};

// How the last query's keywords are marked when a query result is opened.
struct PageHighlight {
  std::vector<std::string> Keywords;  // HighlightKeywordList(querykeywords)
  std::string Color;                  // HighlightColorString of the highlight colour
  bool MatchCase = false;             // querycasesensitive
  bool WholeWord = false;             // querywholeword
  bool InHtml = false;                // "Highlight HTML" (highgraph)
  bool InText = false;                // "Highlight Text-Only" (hightext)
};

// A page opened from the site map or the page list: the page text with its title taken
// out is the HTML rendering, and the text-only rendering is made from that same text.
// Pure; any thread; throws only std::bad_alloc.
PageRendering RenderPage(std::string_view record);

// A query result: the text-only rendering is made from the page text and marked when
// `highlight.InText`; the HTML rendering is the page text, marked when `highlight.InHtml`,
// with its title taken out (so the caption never shows markup). Pure; any thread.
PageRendering RenderPage(std::string_view record, const PageHighlight& highlight);

}  // namespace ferrowyn
