// Tsearchmain: saving the site in the site store as a site file, opening a site file into
// the store and the views, and deleting site files.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/message_texts.h"
#include "app/search_center.h"
#include "store/site_layout.h"

namespace ferrowyn {

namespace {

constexpr char kSiteFilter[] = "Ferrowyn! Files (*.fwb)|*.fwb";
constexpr char kCaptionPrefix[] = "Ferrowyn! - ";
constexpr int kProgressMaximum = 100;

constexpr char kSaveWhileCrawling[] = "You cannot save a site while transfers are active.";
constexpr char kOpenWhileCrawling[] = "You cannot open a site while transfers are active.";
constexpr char kDeleteWhileCrawling[] = "You cannot delete a site while transfers are active.";
constexpr char kNoDataToSave[] = "This site has no data to save. Please retrieve again.";
constexpr char kSavingCaption[] = "Saving...";
constexpr char kSavingText[] =
    "Ferrowyn! is now saving the current site. Depending on the size of your site, this "
    "process may take a few minutes.";
constexpr char kLoadingCaption[] = "Loading...";
constexpr char kLoadingText[] =
    "Ferrowyn! is now processing your stored site. Depending on the size of your site, this "
    "process may take a few minutes.";
constexpr char kUnsavedSite[] =
    "The current Ferrowyn! site is unsaved. Would you like to save it now?";
constexpr char kLoadMissingRecord[] = "There was an error while trying to load site ";
constexpr char kLoadFailed[] = "There was an error while trying to load Ferrowyn! site ";
constexpr char kDeleteOpenSite[] =
    "Warning! The site which you are trying to delete is currently open.  Are you sure you "
    "wish to continue?";
constexpr char kRemoved[] = " has been removed from the system.";
constexpr char kRemoveFailed[] = "There was an error while trying to remove ";

// The "WEBMAP" record written straight from the site map and compressed as it is
// written: a copy of its tree first, or the whole record beside its compressed form,
// would more than double what a large crawl's map holds, just when it is saved.
WebMapWriter::StoredRecord WebMapRecord(const SiteMapModel& map) {
  WebMapWriter writer(true);
  // Depth first without recursion: each frame is a sibling list being written.
  struct Frame {
    std::vector<SiteMapNode> nodes;
    std::size_t next = 0;
  };
  std::vector<Frame> stack;
  stack.push_back({map.Children(kNoNode)});
  while (!stack.empty()) {
    if (stack.back().next == stack.back().nodes.size()) {
      stack.pop_back();
      continue;
    }
    const SiteMapNode node = stack.back().nodes[stack.back().next++];
    writer.Add(stack.size() - 1, map.Text(node));
    std::vector<SiteMapNode> children = map.Children(node);
    if (!children.empty()) stack.push_back({std::move(children)});
  }
  return writer.TakeStored();
}

std::string FullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? path : full.lexically_normal().string();
}

}  // namespace

void Tsearchmain::SaveSite1Click() {
  if (crawlrunning()) return port_.Error(kSaveWhileCrawling);
  if (state_.sitesaved) {
    return port_.Information("Site " + Quoted(state_.sitename) + " has been saved to disk.");
  }
  ops_.savesitedialog(*this);
}

void Tsearchmain::OpenSite1Click() {
  if (crawlrunning()) return port_.Error(kOpenWhileCrawling);
  ops_.opensitedialog(*this, "");
}

void Tsearchmain::EraseSite1Click() {
  if (crawlrunning()) return port_.Error(kDeleteWhileCrawling);
  deletesitedialog();
}

bool Tsearchmain::savesitedialog() {
  if (QDB_.Count() == 0) {
    port_.Error(kNoDataToSave);
    return false;
  }
  FileDialogRequest request;
  request.mode = FileDialogRequest::kSave;
  request.title = "Save";
  request.filter = kSiteFilter;
  request.initial_directory = live_.datadir;
  request.overwrite_prompt = true;
  const std::optional<std::string> chosen = port_.ChooseFile(request);
  if (!chosen) return false;
  const std::string path = SiteFileName(*chosen);
  const std::string name = FileNameOf(path);

  setcursor(Cursor::kHourglass);
  port_.ShowPleaseWait(kSavingCaption, kSavingText, kProgressMaximum);
  const std::string previous_sitename = state_.sitename;
  const std::string previous_querysitename = state_.querysitename;
  std::vector<std::string> added;
  try {
    state_.sitename = name;
    state_.querysitename = name;
    port_.SetPleaseWaitProgress(15);
    QDB_.AddItem(WriteWebList(urllistview_->Rows()), std::string(kWebListKey));
    added.emplace_back(kWebListKey);
    port_.SetPleaseWaitProgress(35);
    QDB_.AddItem(WriteEmail(mailview_->Lines()), std::string(kEmailKey));
    added.emplace_back(kEmailKey);
    port_.SetPleaseWaitProgress(55);
    {
      const WebMapWriter::StoredRecord map = WebMapRecord(*mainview_);
      QDB_.AddCompressedItem(map.compressed, map.size, std::string(kWebMapKey));
    }
    added.emplace_back(kWebMapKey);
    port_.SetPleaseWaitProgress(75);
    QDB_.SaveAs(path);
    port_.SetPleaseWaitProgress(85);
  } catch (const std::exception& error) {
    // The store keeps working on its scratch file. The list records go again, so that
    // the site is as unsaved as before and a later save can write them afresh.
    for (const std::string& key : added) {
      try {
        if (QDB_.FindKey(key)) QDB_.DeleteItem();
      } catch (...) {
      }
    }
    try {
      QDB_.Commit();
    } catch (...) {
    }
    state_.sitename = previous_sitename;
    state_.querysitename = previous_querysitename;
    port_.ClosePleaseWait();
    setcursor(Cursor::kNormal);
    port_.Error(error.what());
    return false;
  }
  state_.sitesaved = true;
  state_.caption = kCaptionPrefix + state_.sitename;
  port_.SetPleaseWaitProgress(100);
  port_.ClosePleaseWait();
  setcursor(Cursor::kNormal);
  port_.Information("Site " + Quoted(name) + " has been saved.");
  return true;
}

bool Tsearchmain::opensitedialog(const std::string& FileName) {
  if (state_.sitename == kUntitledSite && QDB_.Count() > 0) {
    const Answer answer = port_.ShowMessage({MessageKind::kQuestion, kUnsavedSite,
                                             MessageButtons::kYesNoCancel, true, Answer::kCancel});
    if (answer == Answer::kCancel) {
      setcursor(Cursor::kNormal);
      return false;
    }
    if (answer == Answer::kYes) ops_.savesitedialog(*this);
  }

  std::string chosen = FileName;
  if (chosen.empty()) {
    FileDialogRequest request;
    request.mode = FileDialogRequest::kOpen;
    request.title = "Open";
    request.filter = kSiteFilter;
    request.initial_directory = live_.datadir;
    request.default_extension = std::string(kSiteExtension);
    const std::optional<std::string> answer = port_.ChooseFile(request);
    if (!answer) return false;
    chosen = *answer;
  }
  const std::string path = FullPath(chosen);
  const std::string name = FileNameOf(path);

  setcursor(Cursor::kHourglass);
  state_.queryprepared = false;
  // The prepared texts belong to the site that goes; the next query prepares afresh.
  queries_ = QueryQueue{};
  mainview_->Clear();
  emit changed();
  port_.ShowPleaseWait(kLoadingCaption, kLoadingText, kProgressMaximum);

  bool missing = false;
  try {
    QDB_.SetFileName("");
    // A read-only site opened before leaves the flag behind; this file decides anew.
    QDB_.SetReadOnly(opensitesreadonly_);
    port_.SetPleaseWaitProgress(5);
    QDB_.SetFileName(path);

    // Each list is emptied even when its record is missing, so that no view goes on
    // showing the previous site's rows under this site's name.
    urllistview_->Clear();
    // Without the lists, each record is still read through, a piece at a time: a record
    // that cannot be read fails the open, yet none is held whole (a large site's map runs
    // to tens of megabytes).
    const auto read_through = [this] { QDB_.ScanItem([](std::string_view) {}); };
    if (QDB_.FindKey(std::string(kWebListKey))) {
      if (opensiteswithoutlists_) {
        read_through();
      } else {
        const std::string record = QDB_.GetItem();
        port_.SetPleaseWaitProgress(10);
        const std::size_t lines = SplitRecordLines(record).size();
        port_.SetPleaseWaitProgress(20);
        std::vector<PageListRow> rows = ReadWebList(record);
        // One step of the bar for every `step` lines of the record.
        const std::size_t step = std::max<std::size_t>(lines / 30, 30);
        for (std::size_t done = step, position = 20; done <= lines; done += step) {
          port_.SetPleaseWaitProgress(static_cast<int>(++position));
        }
        urllistview_->SetRows(std::move(rows));
      }
    } else {
      missing = true;
    }
    setcursor(Cursor::kHourglass);
    port_.SetPleaseWaitProgress(55);

    if (QDB_.FindKey(std::string(kEmailKey))) {
      if (opensiteswithoutlists_) {
        read_through();
        mailview_->SetLines({});
      } else {
        mailview_->SetLines(ReadEmail(QDB_.GetItem()));
      }
    } else {
      mailview_->SetLines({});
      missing = true;
    }
    port_.SetPleaseWaitProgress(65);

    if (QDB_.FindKey(std::string(kWebMapKey))) {
      if (opensiteswithoutlists_) {
        WebMapCheck check;
        QDB_.ScanItem([&check](std::string_view part) { check.Add(part); });
        port_.SetPleaseWaitProgress(75);
        if (const std::optional<std::string> start = check.Finish()) {
          state_.fields.URL.text = *start;
          state_.siteurl = *start;
        }
      } else {
        const std::string record = QDB_.GetItem();
        port_.SetPleaseWaitProgress(75);
        mainview_->SetTree(ReadWebMap(record));
        const std::vector<SiteMapNode> top = mainview_->Children(kNoNode);
        if (!top.empty()) {
          mainview_->SetImageIndex(top.front(), kStartPageImage);
          state_.fields.URL.text = mainview_->Text(top.front());
          state_.siteurl = state_.fields.URL.text;
        }
      }
      port_.SetPleaseWaitProgress(100);
    } else {
      missing = true;
    }
  } catch (const std::exception&) {
    port_.ClosePleaseWait();
    setcursor(Cursor::kNormal);
    // The previous site has already left the store, and what came of this file is not a
    // site: the store is closed and nothing claims to be loaded, so that no later save
    // writes list records into this file or a query runs over it under another name.
    // The failed open changed nothing, so the file is left exactly as it is: no write-back.
    QDB_.Discard();
    QDB_.SetReadOnly(opensitesreadonly_);
    mainview_->Clear();
    urllistview_->Clear();
    mailview_->SetLines({});
    state_.sitename = kUntitledSite;
    state_.caption = kUntitledCaption;
    state_.sitesaved = false;
    state_.siteloaded = false;
    emit changed();
    port_.Error(kLoadFailed + path + ".");
    return false;
  }

  port_.ClosePleaseWait();
  setcursor(Cursor::kNormal);
  if (missing) {
    port_.Error(kLoadMissingRecord + Quoted(name));
  } else {
    port_.Information("Site " + Quoted(name) + " has been loaded.");
  }
  state_.sitesaved = true;
  state_.siteloaded = true;
  state_.sitename = name;
  state_.caption = kCaptionPrefix + name;
  emit changed();
  return !missing;
}

void Tsearchmain::deletesitedialog() {
  FileDialogRequest request;
  request.mode = FileDialogRequest::kOpen;
  request.title = "Delete";
  request.filter = kSiteFilter;
  request.initial_directory = live_.datadir;
  const std::optional<std::string> chosen = port_.ChooseFile(request);
  if (!chosen) return;
  const std::string path = *chosen;
  const std::string name = FileNameOf(path);

  bool sitegoes = false;
  if (name == state_.sitename) {
    Message question{
        MessageKind::kQuestion, kDeleteOpenSite, MessageButtons::kYesNo, false, Answer::kNo,
        Consequence::kDeletes};
    if (port_.ShowMessage(question) != Answer::kYes) return;
    state_.queryprepared = false;
    queries_ = QueryQueue{};
    // Both stores are written back to their files before the file goes.
    try {
      QDB_.SetFileName("");
    } catch (...) {
    }
    QDB_.SetReadOnly(false);
    try {
      urldb_.SetFileName("");
    } catch (...) {
    }
    sitegoes = true;
  }

  std::error_code error;
  std::filesystem::remove(path, error);
  if (std::filesystem::symlink_status(path, error).type() ==
      std::filesystem::file_type::not_found) {
    port_.Information(Quoted(name) + kRemoved);
  } else {
    port_.Error(kRemoveFailed + Quoted(path) + " from the system.");
  }

  if (sitegoes) {
    mailview_->SetLines({});
    mainview_->Clear();
    urllistview_->Clear();
    state_.sitename = kUntitledSite;
    state_.caption = kUntitledCaption;
    clearview();
    state_.sitesaved = false;
    state_.siteloaded = false;
    emit changed();
  }
}

}  // namespace ferrowyn
