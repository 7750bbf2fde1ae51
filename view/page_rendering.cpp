// Putting the stored page's renderings together, in the order the two ways of opening a
// page make them.
#include "view/page_rendering.h"

#include "view/highlighting.h"
#include "view/html_rendering.h"
#include "view/text_rendering.h"

namespace ferrowyn {

PageRendering RenderPage(std::string_view record) {
  PageRendering page;
  std::string html = JoinStoredPage(record);
  page.Caption = TakeTitle(html);
  page.TextLines = TextOnlyLines(formathtmltags(html));
  page.HtmlLines.push_back(std::move(html));
  return page;
}

PageRendering RenderPage(std::string_view record, const PageHighlight& highlight) {
  PageRendering page;
  const std::string text = JoinStoredPage(record);

  std::string formatted = formathtmltags(text);
  if (highlight.InText)
    formatted = highlightkeywords(formatted, highlight.Keywords, highlight.Color,
                                  highlight.MatchCase, highlight.WholeWord);
  page.TextLines = TextOnlyLines(formatted);

  std::string html = highlight.InHtml ? highlightkeywords(text, highlight.Keywords, highlight.Color,
                                                          highlight.MatchCase, highlight.WholeWord)
                                      : text;
  page.Caption = TakeTitle(html);
  page.HtmlLines.push_back(std::move(html));
  return page;
}

}  // namespace ferrowyn
