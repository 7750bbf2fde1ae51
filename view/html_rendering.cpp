// Joining a stored page's lines into its page text, and taking out its title.
#include "view/html_rendering.h"

#include "base/case_folding.h"
#include "store/site_layout.h"

namespace ferrowyn {

namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string JoinStoredPage(std::string_view record) {
  const std::vector<std::string> lines = SplitRecordLines(record);
  bool html = false;
  for (const std::string& line : lines) {
    if (AsciiLower(line).find("<html>") != npos) {
      html = true;
      break;
    }
  }
  bool pre = !html;
  std::string text;
  for (const std::string& line : lines) {
    const std::string_view trimmed = Trim(line);
    const std::string lower = AsciiLower(trimmed);
    if (lower.find("<pre>") != npos) pre = true;
    if (lower.find("</pre>") != npos) pre = false;
    text += pre ? "<BR>" : " ";
    text += trimmed;
  }
  return text;
}

std::string TakeTitle(std::string& html) {
  const std::string lower = AsciiLower(html);
  const std::size_t open = lower.find("<title>");
  const std::size_t close = lower.find("</title>");
  std::string_view title;
  if (open != npos && close != npos && open < close)
    title = Trim(std::string_view(html).substr(open + 7, close - open - 7));

  std::string caption;
  std::size_t at = 0;
  for (;;) {
    const std::size_t lt = title.find('<', at);
    const std::size_t gt = lt == npos ? npos : title.find('>', lt);
    if (gt == npos) {
      caption.append(title.substr(at));
      break;
    }
    caption.append(title.substr(at, lt - at));
    at = gt + 1;
  }
  if (!title.empty()) html.erase(open + 7, title.size());  // `title` points into `html`

  const std::string_view trimmed = Trim(caption);
  return std::string(trimmed.empty() ? kUntitledPageCaption : trimmed);
}

}  // namespace ferrowyn
