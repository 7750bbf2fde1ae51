// Opening pages from the lists.
#include "gui/page_commands.h"

#include "gui/cursor.h"

namespace ferrowyn::gui {

PageCommands::PageCommands(Tsearchmain& main, PageViewer& viewer)
    : main_(main), display_(std::make_unique<PageDisplay>(main.QDB(), main.port(), viewer)) {
  auto hourglass = std::make_shared<std::optional<HourglassCursor>>();
  display_->SetCursorHook([hourglass](bool on) {
    if (on) {
      if (!*hourglass) hourglass->emplace();
    } else {
      hourglass->reset();
    }
  });
}

PageCommands::~PageCommands() = default;

void PageCommands::displayinternal(const std::optional<std::string>& selectedurl) {
  const SearchCenterState& state = main_.state();
  const LiveSettings& live = main_.live();
  display_->displayinternal(
      selectedurl, {state.siteloaded, state.sitename},
      {state.querysitename, state.querykeywords, state.querywholeword, state.querycasesensitive},
      {live.highgraph, live.hightext, live.highlightcolor});
}

void PageCommands::displayinternalnokeys(const std::string& url) {
  const SearchCenterState& state = main_.state();
  display_->displayinternalnokeys(url, {state.siteloaded, state.sitename});
}

void PageCommands::OpenInBrowser(const std::string& url) {
  if (!main_.port().OpenUrl(url)) main_.port().Error(kBrowserOpenFailed);
}

}  // namespace ferrowyn::gui
