// The search center's query files: saving the results list as a query report, opening
// one back into the results list, deleting one, and the "&Query" menu's guards.
#include <filesystem>
#include <string>

#include "app/message_texts.h"
#include "app/query_report.h"
#include "app/search_center.h"
#include "store/query_file.h"

namespace ferrowyn {
namespace {

constexpr char kQueryFilter[] = "Ferrowyn! Query Files (*.fwq)|*.fwq";
constexpr char kDeleteFilter[] = "Ferrowyn! Queries (*.fwq)|*.fwq";

constexpr char kSaveWhileActive[] = "You cannot save a query while transfers are active.";
constexpr char kNothingToSave[] = "There are no query results to save.";
constexpr char kOpenWhileActive[] = "You cannot open a query while transfers are active.";
constexpr char kDeleteWhileActive[] = "You cannot delete a query while transfers are active.";
constexpr char kSaveSiteFirst[] =
    "Before saving a query, you must save the downloaded site itself. Would you like to do "
    "this now?";
constexpr char kSiteSavedGoOn[] = "Your site was saved successfully. You may now save your query.";
constexpr char kLoadError[] = "There was an error loading the query.";
constexpr char kOtherSite[] =
    "The query you have just opened does not correspond to the open Ferrowyn! site. Would you "
    "like to open this site now?";

// A Yes/No question whose box has no close button; anything but Yes is No.
bool AskYesNo(UserPort& port, const char* text) {
  return port.ShowMessage({MessageKind::kQuestion, text, MessageButtons::kYesNo, false,
                           Answer::kNo}) == Answer::kYes;
}

}  // namespace

void Tsearchmain::savequery() {
  // The report names its site, so the site has to exist as a file first.
  if (state_.sitename == kUntitledSite) {
    if (!AskYesNo(port_, kSaveSiteFirst)) return;
    if (!ops_.savesitedialog(*this)) return;
    port_.Information(kSiteSavedGoOn);
  }

  FileDialogRequest request;
  request.mode = FileDialogRequest::kSave;
  request.title = "Save";
  request.filter = kQueryFilter;
  request.initial_directory = live_.datadir;
  request.default_extension = "fwq";
  request.overwrite_prompt = true;
  const std::optional<std::string> chosen = port_.ChooseFile(request);
  if (!chosen) return;
  const std::string file = QueryFileName(*chosen);

  const QueryReport report = GatherQueryReport(state_, *querylist_);
  WriteQueryFile(file, report);
  state_.querysitename = report.sitename;
  emit changed();
  port_.Information(Quoted(FileNameOf(file)) + " has been saved.");
}

void Tsearchmain::openquery() {
  if (state_.queryactive) return port_.Error(kOpenWhileActive);

  FileDialogRequest request;
  request.mode = FileDialogRequest::kOpen;
  request.title = "Open";
  request.filter = kQueryFilter;
  request.initial_directory = live_.datadir;
  const std::optional<std::string> chosen = port_.ChooseFile(request);
  if (!chosen) return;
  const std::string file = QueryFileName(*chosen);

  // Read before anything changes: a file that cannot be read leaves the list as it was,
  // and the error goes on to the general error report.
  const QueryFileContents contents = ReadQueryFile(file);
  LoadQueryReport(contents, state_, *querylist_);
  emit changed();

  if (contents.Complete()) {
    port_.Information("Query " + Quoted(FileNameOf(file)) + " has been loaded.");
  } else {
    port_.Error(kLoadError);
  }
  // The file only names the site: the user picks its site file in the open dialog.
  if (state_.querysitename != state_.sitename && AskYesNo(port_, kOtherSite)) {
    ops_.opensitedialog(*this, "");
  }
}

void Tsearchmain::deletequerydialog() {
  FileDialogRequest request;
  request.mode = FileDialogRequest::kOpen;
  request.title = "Delete";
  request.filter = kDeleteFilter;
  request.initial_directory = live_.datadir;
  const std::optional<std::string> chosen = port_.ChooseFile(request);
  if (!chosen) return;

  // Only a file goes: a directory of that name is refused like a file that is missing.
  std::error_code error;
  const bool removed = std::filesystem::is_regular_file(*chosen, error) &&
                       std::filesystem::remove(*chosen, error) && !error;
  if (removed) {
    port_.Information(Quoted(FileNameOf(*chosen)) + " has been removed from the system.");
  } else {
    port_.Error("There was an error while trying to remove " + Quoted(*chosen) +
                " from the system.");
  }
}

void Tsearchmain::Save1Click() {
  if (state_.queryactive) return port_.Error(kSaveWhileActive);
  if (querylist_->rowCount() == 0) return port_.Error(kNothingToSave);
  savequery();
}

void Tsearchmain::Open1Click() { openquery(); }

void Tsearchmain::Delete2Click() {
  if (state_.queryactive) return port_.Error(kDeleteWhileActive);
  deletequerydialog();
}

}  // namespace ferrowyn
