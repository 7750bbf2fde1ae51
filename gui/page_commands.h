// Opening pages from the main window's lists: graphic-free in the viewer, with the last
// query's keywords marked or without, or in the user's web browser.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/search_center.h"
#include "view/page_display.h"

namespace ferrowyn::gui {

inline constexpr char kBrowserOpenFailed[] =
    "There was an error while trying to open your browser.";

// GUI thread only; `main` and `viewer` outlive it.
class PageCommands {
 public:
  PageCommands(Tsearchmain& main, PageViewer& viewer);
  ~PageCommands();

  // A query result (nullopt when no row is selected), marked as the settings say.
  void displayinternal(const std::optional<std::string>& selectedurl);
  // A page of the site map or the page list, unmarked.
  void displayinternalnokeys(const std::string& url);
  // Hands `url` to the desktop; a failure is reported.
  void OpenInBrowser(const std::string& url);

 private:
  Tsearchmain& main_;
  std::unique_ptr<PageDisplay> display_;
};

}  // namespace ferrowyn::gui
