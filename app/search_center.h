// Tsearchmain: the main window's state and operations without widgets. It owns
// the site store and the URL store, the four HTTP clients, the views' item models
// and the timers; it validates what the search page asks for and hands crawls and
// queries over to their engines through SearchOperations. The window binds its
// controls to state() and forwards its events to the handlers here.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/live_settings.h"
#include "app/private_directory.h"
#include "app/quill_encryption.h"
#include "app/search_center_state.h"
#include "app/search_operations.h"
#include "app/settings_store.h"
#include "base/slot_status.h"
#include "base/user_port.h"
#include "crawl/crawl_limits.h"
#include "crawl/crawl_run.h"
#include "crawl/http_client.h"
#include "query/query_run.h"
#include "store/query_queue.h"
#include "store/record_store.h"
#include "view/mail_list_model.h"
#include "view/mail_miner_list.h"
#include "view/page_list_model.h"
#include "view/site_map_model.h"
#include "view/slot_view_model.h"

namespace ferrowyn {

// Refuses a crawl while a query runs, from the search button and from the menus.
inline constexpr char kSearchWhileQueryMessage[] =
    "You cannot run a search while a query is active.";

// What the login dialog gave (`getpass`): "true", "false", "kill".
enum class PassResult { kTrue, kFalse, kKill };
// What the filter dialog gave (`getfilter`): "OK", "SKIP", "NO".
enum class FilterResult { kOK, kSKIP, kNO };

// What the window does after FormClose.
enum class CloseAction {
  kClose,               // close now (the program ends)
  kKeepOpen,            // the user kept the window open
  kCloseWhenCrawlEnds,  // `closepending`: the end of the halted crawl closes it
};

// The window's geometry, written to the settings when it closes.
struct WindowGeometry {
  int top = 0;
  int left = 0;
  int width = 0;
  int height = 0;
};

// Lives as long as the main window. `port`, `live` and `operations` are not owned
// and outlive it. GUI thread only: workers reach it through synchronised calls.
// Construction runs the window's creation steps (FormCreate). Handlers let
// ESettingsError (a refused settings write) reach the caller unless said otherwise.
class Tsearchmain : public QObject {
  Q_OBJECT

 public:
  // `programdir`: where "data" and "temp" live (ProgramDirectory()). `arguments`:
  // the command line without the program's own name. `makeclient` makes the four transfer
  // slots' clients; without one (a reader that never retrieves) there are none and no
  // retrieval may start.
  Tsearchmain(UserPort& port, SettingsStore store, std::string programdir, LiveSettings& live,
              SearchOperations& operations, std::vector<std::string> arguments,
              THttpCli::Maker makeclient = &MakeHttpClient, QObject* parent = nullptr);
  ~Tsearchmain() override;

  // --- Start-up and closing.
  // Showing: window position, pages, caption, clearview, the full settings load,
  // then Timer1 (100 ms, once). A stored proxy password that cannot be unscrambled
  // is reported as an error and Timer1 still starts.
  void FormShow();
  // Timer1: opens the site named on the command line, or shows Getting Started.
  void Timer1Timer();
  // Closing (however it is asked for). Saves the window position, then decides.
  CloseAction FormClose(const WindowGeometry& geometry);

  // --- The search page.
  void SearchBtnClick();
  void executesearch();
  void executequery();
  void searchbuttonit();
  void haltsearch();
  PassResult getpass();
  FilterResult getfilter();
  void clearview();
  void elapsedtimerTimer();
  void clearbtnClick();
  // Key presses in `URL` / `querysearch`; true when the key was handled (Enter).
  bool URLKeyDown(int key);
  bool mainsearchKeyDown(int key);

  // --- Menus and toolbar.
  void EngageFerrowyn1Click();
  void HaltSearch1Click();
  void BasicBuild1Click();
  void DynamicBuildandQuery1Click();
  void QueryOnly1Click();
  void Setup1Click();
  // The site map page's "&Mail Miner": refused while a retrieval runs.
  void MailMiner1Click();
  void About1Click();
  void Contents1Click();
  void Registration1Click();
  void EnableHints1Click();
  void GettingStarted1Click();
  void HomePage1Click();
  void ToolbarButton971Click();  // "Exit"
  void ToolbarButton972Click();  // "Help"
  void ToolbarButton974Click();  // "Site Mapping"
  void ToolbarButton975Click();  // "Search"
  void Toolbar971DockChanged(bool docked);

  // --- The crawl run (search_center_crawl.cpp).
  // Prepares and starts a retrieval of `url` with `scope` and `filter`: the questions, a
  // fresh site store and URL store, the histories, the crawl origin, the queue holding
  // the start URL and the workers. Leaves the controls restored when it does not start.
  void startrecurse(const std::string& scope, const std::string& filter, const std::string& url);
  // One worker per transfer slot from the live settings, and the query side.
  void startitup();
  // The end of a run: controls back, the queues emptied, the outcome reported (or the
  // window closed when `closepending`). Called by the run when its last worker has ended.
  void posttransfer();
  CrawlRun& crawl() { return *crawl_; }
  QueryRun& queries() { return *queryrun_; }
  // The width of a text in the page list's font; the window sets its font's measure.
  // Default: FixedTextWidth.
  void SetTextWidth(TextWidthFunction width) { textwidth_ = std::move(width); }
  // The free space of the program directory's drive, in bytes; nullopt when it cannot
  // be measured. Default: the file system's.
  void SetFreeSpace(std::function<std::optional<std::uint64_t>()> freespace) {
    freespace_ = std::move(freespace);
  }

  // --- Site files (search_center_site_files.cpp). True when the site was saved / was
  // loaded without a missing record. An empty `FileName` asks with the open dialog.
  bool savesitedialog();
  bool opensitedialog(const std::string& FileName = "");
  // Sites opened from now on are read-only from their first byte: the store never writes
  // their files back and refuses every change. For readers such as ferrowyn-cli.
  void SetOpenSitesReadOnly(bool on) { opensitesreadonly_ = on; }
  // Sites opened from now on leave the page list, the mail list and the site map empty:
  // their records are still read and checked, with the same messages, and the start URL
  // is taken from the map. For a reader that shows none of them (a query from the command
  // line), whose memory then does not grow with the site's lists. Only with read-only
  // sites: a save would write the empty lists.
  void SetOpenSitesWithoutLists(bool on) { opensiteswithoutlists_ = on; }
  void deletesitedialog();
  void SaveSite1Click();   // "&Save..."
  void OpenSite1Click();   // "&Open..."
  void EraseSite1Click();  // "&Delete..."
  // The page list's "&Export to HTML..." (search_center_export.cpp).
  void SaveURLList1Click();

  // --- Query files (search_center_query_files.cpp). savequery and openquery throw
  // EQueryFileError when the file cannot be written or read.
  void savequery();
  void openquery();
  void deletequerydialog();
  void Save1Click();
  void Open1Click();
  void Delete2Click();

  // --- The query engine (search_center_query.cpp).
  // Starts a query over the stored site with `keywords`: the preparation pass on the
  // first query of a site, then the workers.
  void querygo(const std::string& keywords);
  // Ends a query over the stored site, finished or stopped, and reports which.
  void terminatequery();

  // --- For the engines.
  // Restores the controls after a crawl that did not start or has ended:
  // `queryactive` cleared, the clock stopped, the search button, "Clear Search",
  // "&Ferrowyn!" and "&Halt Search" enabled.
  void restorecontrols();
  // A query has ended: keyword field, "Clear Search" and the search button's
  // caption back, `queryactive` cleared.
  void queryended();
  // A crawl runs exactly while the elapsed-time clock runs.
  bool crawlrunning() const { return elapsedtimer_.isActive(); }
  void setcursor(Cursor cursor);
  // Tell the window that state() was changed from outside the handlers.
  void NotifyChanged() { emit changed(); }

  SearchCenterState& state() { return state_; }
  const SearchCenterState& state() const { return state_; }
  LiveSettings& live() { return live_; }
  UserPort& port() { return port_; }
  const SettingsStore& store() const { return store_; }
  const std::string& programdir() const { return programdir_; }
  std::string tempdir() const;

  TQDB& QDB() { return QDB_; }
  TQDB& urldb() { return urldb_; }
  // The HTTP client of transfer slot 1..4 (its Tag is the slot number). Throws
  // std::out_of_range for another slot, std::logic_error when the window has no clients.
  THttpCli& httpclient(int slot);

  SlotViewModel& slotview() { return *slotview_; }
  QueryListModel& querylist() { return *querylist_; }  // "URL", "Hits", "Found"
  SiteMapModel& mainview() { return *mainview_; }          // the site map tree
  PageListModel& urllistview() { return *urllistview_; }   // "URL", "Title"
  MailMinerList& mailview() { return *mailview_; }         // the mail miner's addresses
  MailListModel& maillist() { return *maillist_; }         // collected by the running crawl
  QueryQueue& queryqueue() { return queries_; }

  QTimer& Timer1() { return Timer1_; }
  QTimer& elapsedtimer() { return elapsedtimer_; }
  QTimer& megatoolong() { return megatoolong_; }
  QTimer& megatestsize() { return megatestsize_; }

 signals:
  // Something in state() or the live settings changed; the window re-reads it.
  void changed();
  // The window is to close (toolbar "Exit"); it then calls FormClose.
  void closeRequested();
  // The toolbar was docked (+55) or floated (-55): the window's height changes.
  void heightChangeRequested(int delta);
  // Hints are to be shown application-wide, or not.
  void hintsChanged(bool on);

 private:
  // Creation: fresh state, the temporary directory made and emptied, both stores
  // configured, the four HTTP clients, the slot rows. Run once, by the constructor;
  // throws std::filesystem::filesystem_error when "temp" cannot be created.
  void FormCreate();
  // Makes the crawl run over the clients, stores and models (search_center_crawl.cpp).
  void MakeCrawlRun();
  // Makes the query slots over the queue and the results list (search_center_query.cpp).
  void MakeQueryRun();
  // The preparation pass of a first query on a site: every page of the site store into
  // the queue and the prepared copy, behind the please-wait window. False when the
  // window could not be set up (reported); no worker may start then.
  bool PrepareStoredSite();
  // Enables or disables the search button, "Clear Search", "&Ferrowyn!" and
  // "&Halt Search" together.
  void SetRunControls(bool enabled);
  // The guard shared by "&Ferrowyn!" and the three wizards; true when refused.
  bool RefuseNewSearch();
  bool ConfirmCloseDuringCrawl();

  UserPort& port_;
  SettingsStore store_;
  std::string programdir_;
  LiveSettings& live_;
  SearchOperations& ops_;
  std::vector<std::string> arguments_;
  THttpCli::Maker makeclient_;
  TQuillEncryption scrambler_;

  SearchCenterState state_;
  // The stores' working files; removed only after both stores have closed.
  OwnedDirectory workingdir_;
  TQDB QDB_;
  TQDB urldb_;
  bool opensitesreadonly_ = false;
  bool opensiteswithoutlists_ = false;
  std::array<std::unique_ptr<THttpCli>, 4> httpclients_;

  std::unique_ptr<SlotViewModel> slotview_;
  std::unique_ptr<QueryListModel> querylist_;
  std::unique_ptr<SiteMapModel> mainview_;
  std::unique_ptr<PageListModel> urllistview_;
  std::unique_ptr<MailMinerList> mailview_;
  std::unique_ptr<MailListModel> maillist_;
  QueryQueue queries_;

  QTimer Timer1_;
  QTimer elapsedtimer_;
  QTimer megatoolong_;
  QTimer megatestsize_;

  TextWidthFunction textwidth_ = FixedTextWidth;
  std::function<std::optional<std::uint64_t>()> freespace_;
  class CrawlHostAdapter;
  std::unique_ptr<CrawlHost> crawlhost_;  // the run's view of this window
  // Last: stopped and joined before the clients, stores and models they work on go; the
  // query workers first, since a dynamic query ends the crawl with it.
  std::unique_ptr<CrawlRun> crawl_;
  class QueryHostAdapter;
  std::unique_ptr<QueryHost> queryhost_;
  std::unique_ptr<QueryRun> queryrun_;
};

}  // namespace ferrowyn
