// Tsearchmain: creation, showing, the one-shot start timer, the views' reset and
// closing. The search page's commands are in search_page.cpp, the menus and the
// toolbar in search_center_commands.cpp.
#include "app/search_center.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace ferrowyn {

namespace {
constexpr int kStartDelayMs = 100;  // Timer1: the window is on screen before a site opens
constexpr int kOneSecondMs = 1000;  // the clock and the two transfer watchdogs
constexpr std::int64_t kSiteStoreCache = 0;
constexpr std::int64_t kUrlStoreCache = 1024;
// "temp/ferrowyn-PID-XXXXXX": the working directory of the run with that process id.
constexpr char kWorkingDirectoryPrefix[] = "ferrowyn";

constexpr char kCloseDuringCrawl[] =
    "A transfer is active. Are you sure you wish to abort and exit Ferrowyn!?";
constexpr char kCloseUnsavedSite[] =
    "The current Ferrowyn! site is unsaved. Would you like to save it now?";

void ConfigureStore(TQDB& store, std::int64_t cache) {
  store.SetReadOnly(false);
  store.SetSaveOnClose(true);
  store.SetExpandedFileNames(true);
  store.SetCacheSize(cache);
  store.SetCompression(true);
}
}  // namespace

Tsearchmain::Tsearchmain(UserPort& port, SettingsStore store, std::string programdir,
                         LiveSettings& live, SearchOperations& operations,
                         std::vector<std::string> arguments, THttpCli::Maker makeclient,
                         QObject* parent)
    : QObject(parent),
      port_(port),
      store_(std::move(store)),
      programdir_(std::move(programdir)),
      live_(live),
      ops_(operations),
      arguments_(std::move(arguments)),
      makeclient_(makeclient) {
  scrambler_.Key = kSetupScramblerKey;
  Timer1_.setSingleShot(true);
  Timer1_.setInterval(kStartDelayMs);
  connect(&Timer1_, &QTimer::timeout, this, &Tsearchmain::Timer1Timer);
  elapsedtimer_.setInterval(kOneSecondMs);
  connect(&elapsedtimer_, &QTimer::timeout, this, &Tsearchmain::elapsedtimerTimer);
  // The crawl run connects the watchdogs to its own handlers.
  megatoolong_.setInterval(kOneSecondMs);
  megatestsize_.setInterval(kOneSecondMs);
  FormCreate();
}

// The destructor is beside the crawl run's window adapter (search_center_crawl.cpp).

std::string Tsearchmain::tempdir() const {
  return (std::filesystem::path(programdir_) / "temp").string();
}

THttpCli& Tsearchmain::httpclient(int slot) {
  if (slot < 1 || slot > static_cast<int>(httpclients_.size())) {
    throw std::out_of_range("transfer slot out of range");
  }
  if (!httpclients_[slot - 1]) throw std::logic_error("this program retrieves no pages");
  return *httpclients_[slot - 1];
}

void Tsearchmain::FormCreate() {
  state_ = SearchCenterState{};

  // Whatever an earlier run left in "temp" goes: its loose files, and the working
  // directories of runs that no longer exist. This run's working files go into a directory
  // of its own, so that a second program on the same "temp" (another user's, a command
  // line run) never loses a file it is using.
  const std::filesystem::path temp = tempdir();
  std::filesystem::create_directories(temp);
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(temp, ignored)) {
    if (!entry.is_directory(ignored)) std::filesystem::remove(entry.path(), ignored);
  }
  RemoveStalePrivateDirectories(temp.string(), kWorkingDirectoryPrefix);
  workingdir_ = OwnedDirectory(MakePrivateDirectory(temp.string(), kWorkingDirectoryPrefix));

  ConfigureStore(QDB_, kSiteStoreCache);
  ConfigureStore(urldb_, kUrlStoreCache);
  TQDB::SetTempDirectory(workingdir_.path());

  for (size_t i = 0; makeclient_ != nullptr && i < httpclients_.size(); ++i) {
    httpclients_[i] = makeclient_();
    httpclients_[i]->Tag = static_cast<int>(i) + 1;
  }

  slotview_ = std::make_unique<SlotViewModel>();
  querylist_ = std::make_unique<QueryListModel>();
  mainview_ = std::make_unique<SiteMapModel>();
  urllistview_ = std::make_unique<PageListModel>();
  mailview_ = std::make_unique<MailMinerList>();
  maillist_ = std::make_unique<MailListModel>();
  MakeCrawlRun();
  MakeQueryRun();
}

void Tsearchmain::FormShow() {
  try {
    state_.windowposition = ReadWindowPosition(store_);
  } catch (const ESettingsError&) {
    // Reported below, where the settings are loaded.
  }
  state_.FindAgain1.enabled = false;
  state_.activepage = MainPage::kSearch;
  state_.popupmenu = WindowMenu::kStartMenu;
  state_.lowerpage = LowerPage::kQueryResults;
  state_.caption = kUntitledCaption;
  state_.sitename = kUntitledSite;
  clearview();
  try {
    loadregistrydefaults(store_, programdir_, live_, state_.fields, scrambler_);
  } catch (const EQuillError& error) {
    // The load stops at the proxy password; the settings before it are in place.
    // Without the start timer the command line's site would never open, so report
    // and go on.
    port_.Error(error.what());
  } catch (const ESettingsError& error) {
    // A settings file that is not a regular file: the program runs on the defaults.
    port_.Error(error.what());
  }
  emit hintsChanged(live_.hints);
  emit changed();
  Timer1_.start();
}

void Tsearchmain::Timer1Timer() {
  Timer1_.stop();
  std::error_code ignored;
  if (!arguments_.empty() && std::filesystem::is_regular_file(arguments_.front(), ignored)) {
    ops_.opensitedialog(*this, arguments_.front());
  } else if (loadregistryfirst(store_)) {
    ops_.ShowGettingStarted(*this, false);
  }
  emit changed();
}

void Tsearchmain::clearview() {
  try {
    mainview_->Clear();
    urllistview_->Clear();
    mailview_->SetLines({});
    querylist_->Clear();
    state_.hits = "0";
    state_.pages = "0";
    state_.pagesavl = "0";
    state_.numproc = "0";
    state_.bytestran = "0";
    state_.elapsedview = kElapsedZero;
  } catch (...) {
    // A view that cannot be emptied keeps what it shows; the run goes on.
  }
  emit changed();
}

void Tsearchmain::elapsedtimerTimer() {
  if (std::optional<std::string> next = AdvanceElapsedClock(state_.elapsedview)) {
    state_.elapsedview = std::move(*next);
    emit changed();
  }
}

void Tsearchmain::setcursor(Cursor cursor) {
  state_.cursor = cursor;
  emit changed();
}

void Tsearchmain::SetRunControls(bool enabled) {
  state_.searchbtn.enabled = enabled;
  state_.clearbtn.enabled = enabled;
  state_.EngageFerrowyn1.enabled = enabled;
  state_.HaltSearch1.enabled = enabled;
}

void Tsearchmain::restorecontrols() {
  state_.queryactive = false;
  elapsedtimer_.stop();
  SetRunControls(true);
  emit changed();
}

void Tsearchmain::queryended() {
  state_.queryactive = false;
  state_.querysearchenabled = true;
  state_.clearbtn.enabled = true;
  state_.searchbtn.caption = kSearchCaption;
  emit changed();
}

CloseAction Tsearchmain::FormClose(const WindowGeometry& geometry) {
  try {
    WriteWindowPosition(store_, geometry.top, geometry.left, geometry.width, geometry.height);
  } catch (...) {
    // Errors while closing are swallowed: the window closes all the same.
  }

  if (crawlrunning()) {
    if (state_.searchbtn.enabled) {
      if (!ConfirmCloseDuringCrawl()) return CloseAction::kKeepOpen;
      state_.stopped = true;
      state_.closepending = true;
      haltsearch();
    } else {
      // A halt is already under way; its end closes the window.
      state_.closepending = true;
    }
    // The workers still use the stores and the views: closing now would pull them
    // away under running threads. The end of the crawl closes the window again.
    emit changed();
    return CloseAction::kCloseWhenCrawlEnds;
  }

  // With `closepending` the user already chose to abort and exit; the crawl has
  // now ended, so the window closes without a further question.
  if (!state_.closepending && state_.sitename == kUntitledSite && QDB_.Count() >= 1) {
    const Answer answer = port_.ShowMessage({MessageKind::kQuestion, kCloseUnsavedSite,
                                             MessageButtons::kYesNoCancel, true, Answer::kCancel});
    if (answer == Answer::kCancel) {
      setcursor(Cursor::kNormal);
      return CloseAction::kKeepOpen;
    }
    if (answer == Answer::kYes) {
      try {
        ops_.savesitedialog(*this);
      } catch (...) {
      }
    }
  }
  // Detaching writes both stores back to their files.
  try {
    QDB_.SetFileName("");
  } catch (...) {
  }
  try {
    urldb_.SetFileName("");
  } catch (...) {
  }
  return CloseAction::kClose;
}

bool Tsearchmain::ConfirmCloseDuringCrawl() {
  ops_.SuspendCrawlWorkers(*this);
  const Answer answer = port_.ShowMessage(
      {MessageKind::kQuestion, kCloseDuringCrawl, MessageButtons::kYesNo, false, Answer::kNo});
  ops_.ResumeCrawlWorkers(*this);
  if (answer != Answer::kYes) {
    setcursor(Cursor::kNormal);
    return false;
  }
  return true;
}

}  // namespace ferrowyn
