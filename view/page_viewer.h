// What opening a stored page hands to the viewer window: both renderings, the caption,
// the page's URL and the help topic its Help button opens.
#pragma once

#include <string>
#include <vector>

namespace ferrowyn {

struct ViewerPage {
  std::vector<std::string> HtmlLines;  // the upper pane
  std::vector<std::string> TextLines;  // the lower pane
  std::string Caption;
  std::string Url;
  int HelpTopic = 0;
};

// Implemented by the viewer window (and by ferrowyn-cli and tests). Owned by whoever
// creates it; outlives the display operations that use it. GUI thread only.
class PageViewer {
 public:
  virtual ~PageViewer() = default;
  // Loads both panes, sets the caption, URL and help topic, and shows the window. Waits,
  // letting window messages run, until the upper pane is laid out. A failure to load the
  // upper pane is the implementation's to ignore (the page is still shown); anything it
  // throws is reported by the caller as a failure to open the page.
  virtual void ShowPage(const ViewerPage& page) = 0;
};

}  // namespace ferrowyn
