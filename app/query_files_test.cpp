// The search center's query files: saving the results list, opening a report back into
// it, deleting one, the menu guards and every question and dialog cancelled.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <filesystem>

#include "app/query_report.h"
#include "app/search_center.h"
#include "store/query_file.h"
#include "tests/support/qdb_test_files.h"
#include "tests/support/search_center_fixture.h"

namespace ferrowyn::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Rows = std::vector<QueryResultRow>;

constexpr char kRule[] = "----------------------------------------------------\r\n";
constexpr char kOtherSite[] =
    "The query you have just opened does not correspond to the open Ferrowyn! site. Would you "
    "like to open this site now?";

// Saves the site as the site file operations do: the site and its results take the
// file's name.
class SavingOperations : public RecordingOperations {
 public:
  bool savesitedialog(Tsearchmain& main) override {
    calls.push_back("savesitedialog");
    main.state().sitename = "cats.fwb";
    main.state().querysitename = "cats.fwb";
    main.state().sitesaved = true;
    return true;
  }
};

class QueryFilesTest : public SearchCenterFixture {
 protected:
  void SetUp() override {
    datadir_ = programdir_ + "/data/";
    fs::create_directories(datadir_);
    Make();
    live_.datadir = datadir_;
  }
  // Replaces the controller by one whose site operations save for real.
  void UseSavingOperations() {
    main_ = std::make_unique<Tsearchmain>(port_, store_, programdir_, live_, saving_,
                                          std::vector<std::string>{});
  }
  void AddRow(const std::string& url, const std::string& hits, const std::string& found) {
    main_->querylist().AppendRow(url, hits, found);
  }
  // A site opened from its file, with the results of a query run on it.
  void QueryOnOpenSite(const std::string& site) {
    SearchCenterState& state = main_->state();
    state.sitename = site;
    state.sitesaved = true;
    state.querysitename = site;
    state.querykeywords = "cat \"big dog\"";
    state.queryany = false;
    state.querywholeword = true;
    state.querycasesensitive = false;
    AddRow("http://www.example.com/a b.htm", "5", "All");
    AddRow("http://www.example.com/", "2", "All");
  }
  const FileDialogRequest& LastFileDialog() {
    for (auto it = port_.prompts().rbegin(); it != port_.prompts().rend(); ++it)
      if (it->kind == PromptKind::kFile) return it->file;
    throw std::logic_error("no file dialog");
  }
  // The file's lines but the date and time line, which `Save1Click` took from the clock.
  std::string WithoutDateTime(const std::string& bytes) {
    const size_t start = bytes.find("Date/Time: ");
    const size_t end = bytes.find("\r\n", start);
    if (start == std::string::npos || end == std::string::npos) return bytes;
    return bytes.substr(0, start) + bytes.substr(end + 2);
  }
  Rows ListedRows() { return QueryResultRows(main_->querylist()); }

  std::string datadir_;
  SavingOperations saving_;
};

TEST_F(QueryFilesTest, MenuGuardsRefuseWhileAQueryOrRetrievalRuns) {
  AddRow("http://a/", "1", "All");
  main_->state().queryactive = true;
  port_.ExpectError("You cannot save a query while transfers are active.")
      .ExpectError("You cannot open a query while transfers are active.")
      .ExpectError("You cannot delete a query while transfers are active.");
  main_->Save1Click();
  main_->Open1Click();
  main_->Delete2Click();

  main_->state().queryactive = false;
  main_->querylist().Clear();
  port_.ExpectError("There are no query results to save.");
  main_->Save1Click();
  EXPECT_TRUE(ops_.calls.empty());
}

TEST_F(QueryFilesTest, SavesTheReportAndNamesTheFileInTheMessage) {
  QueryOnOpenSite("cats.fwb");
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "report")
      .ExpectInformation("\"report.fwq\" has been saved.");
  const QDateTime before = QDateTime::currentDateTime();
  main_->Save1Click();
  const QDateTime after = QDateTime::currentDateTime();

  const FileDialogRequest& dialog = LastFileDialog();
  EXPECT_EQ(dialog.title, "Save");
  EXPECT_EQ(dialog.filter, "Ferrowyn! Query Files (*.fwq)|*.fwq");
  EXPECT_EQ(dialog.initial_directory, datadir_);
  EXPECT_EQ(dialog.default_extension, "fwq");
  EXPECT_EQ(dialog.file_name, "");
  EXPECT_TRUE(dialog.overwrite_prompt);

  const std::string bytes = ReadFileBytes(datadir_ + "report.fwq");
  EXPECT_EQ(WithoutDateTime(bytes), std::string("Ferrowyn! Query Report\r\n") +
                                        "Site: cats.fwb\r\n"
                                        "Search: cat \"big dog\"\r\n"
                                        "Type: ALL\r\n"
                                        "Word: ON\r\n"
                                        "CaseSensitive: OFF\r\n" +
                                        kRule +
                                        "URL: http://www.example.com/a b.htm\r\n"
                                        "Hits: 5\r\n"
                                        "Instances: All\r\n" +
                                        kRule +
                                        "URL: http://www.example.com/\r\n"
                                        "Hits: 2\r\n"
                                        "Instances: All\r\n" +
                                        kRule);
  const std::string datetime = *ReadQueryReport(bytes).datetime;
  const QLocale locale = QLocale::system();
  EXPECT_TRUE(datetime == ShortDateLongTime(before, locale) ||
              datetime == ShortDateLongTime(after, locale))
      << datetime;
  EXPECT_EQ(main_->state().querysitename, "cats.fwb");
}

TEST_F(QueryFilesTest, NameHoldingTheExtensionAnywhereIsUsedUnchanged) {
  QueryOnOpenSite("cats.fwb");
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "old.fwq.txt")
      .ExpectInformation("\"old.fwq.txt\" has been saved.");
  main_->Save1Click();
  EXPECT_TRUE(fs::exists(datadir_ + "old.fwq.txt"));
  EXPECT_FALSE(fs::exists(datadir_ + "old.fwq.txt.fwq"));
}

TEST_F(QueryFilesTest, QuerySavedRightAfterItsSiteOpensWithoutTheSiteQuestion) {
  UseSavingOperations();
  // A retrieval with keywords: the results belong to the unsaved site.
  main_->state().querysitename = kUntitledSite;
  main_->state().querykeywords = "cat";
  AddRow("http://www.example.com/", "1", "cat");
  port_
      .ExpectMessage(MessageKind::kQuestion,
                     "Before saving a query, you must save the downloaded site itself. Would you "
                     "like to do this now?",
                     Answer::kYes)
      .ExpectInformation("Your site was saved successfully. You may now save your query.")
      .ExpectFile(FileDialogRequest::kSave, datadir_ + "cats")
      .ExpectInformation("\"cats.fwq\" has been saved.");
  main_->Save1Click();
  EXPECT_EQ(saving_.calls, Strings{"savesitedialog"});
  EXPECT_FALSE(port_.prompts()[0].message.close_box);
  EXPECT_EQ(port_.prompts()[0].message.buttons, MessageButtons::kYesNo);
  EXPECT_NE(ReadFileBytes(datadir_ + "cats.fwq").find("\r\nSite: cats.fwb\r\n"), std::string::npos);

  // Opened again with the site open: the rows come back and nothing is asked.
  main_->querylist().Clear();
  main_->state().querykeywords.clear();
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "cats.fwq")
      .ExpectInformation("Query \"cats.fwq\" has been loaded.");
  main_->Open1Click();
  EXPECT_EQ(ListedRows(), (Rows{{"http://www.example.com/", "1", "cat"}}));
  EXPECT_EQ(main_->state().querykeywords, "cat");
  EXPECT_EQ(main_->state().querysitename, "cats.fwb");
  EXPECT_EQ(saving_.calls, Strings{"savesitedialog"});
}

TEST_F(QueryFilesTest, SavingForAnUnsavedSiteStopsUnlessTheSiteIsSaved) {
  main_->state().querysitename = kUntitledSite;
  AddRow("http://a/", "1", "All");
  const char* question =
      "Before saving a query, you must save the downloaded site itself. Would you like to do "
      "this now?";
  // Declined: nothing is saved.
  port_.ExpectMessage(MessageKind::kQuestion, question, Answer::kNo);
  main_->Save1Click();
  EXPECT_TRUE(ops_.calls.empty());
  // Agreed, but the site save is cancelled: no query file dialog.
  ops_.site_result = false;
  port_.ExpectMessage(MessageKind::kQuestion, question, Answer::kYes);
  main_->Save1Click();
  EXPECT_EQ(ops_.calls, Strings{"savesitedialog"});
  EXPECT_EQ(port_.pending(), 0u);
  EXPECT_TRUE(fs::is_empty(datadir_));
}

TEST_F(QueryFilesTest, CancelledSaveDialogWritesNothing) {
  QueryOnOpenSite("cats.fwb");
  main_->state().querysitename = "";
  port_.ExpectFile(FileDialogRequest::kSave, std::nullopt);
  main_->Save1Click();
  EXPECT_TRUE(fs::is_empty(datadir_));
  EXPECT_EQ(main_->state().querysitename, "");
}

TEST_F(QueryFilesTest, FailedWriteReachesTheCallerAndChangesNothing) {
  QueryOnOpenSite("cats.fwb");
  main_->state().querysitename = "";
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "missing/report.fwq");
  EXPECT_THROW(main_->Save1Click(), EQueryFileError);
  EXPECT_EQ(main_->state().querysitename, "");
}

TEST_F(QueryFilesTest, ResultsOfAnotherSiteKeepThatSiteWhenSaved) {
  // The results of a query file for dogs.fwb, whose site the user chose not to open.
  QueryOnOpenSite("cats.fwb");
  main_->state().querysitename = "dogs.fwb";
  port_.ExpectFile(FileDialogRequest::kSave, datadir_ + "dogs.fwq")
      .ExpectInformation("\"dogs.fwq\" has been saved.");
  main_->Save1Click();
  EXPECT_EQ(ReadQueryFile(datadir_ + "dogs.fwq").sitename, "dogs.fwb");
  EXPECT_EQ(main_->state().querysitename, "dogs.fwb");
}

TEST_F(QueryFilesTest, OpeningReadsOptionsExactlyAndAsksForAnotherSite) {
  main_->state().sitename = "cats.fwb";
  AddRow("http://old/", "9", "All");
  WriteFileBytes(datadir_ + "dogs.fwq",
                 "Ferrowyn! Query Report\r\nSite: dogs.fwb\r\nDate/Time: x\r\nSearch: bark\r\n"
                 "Type: any\r\nWord: ON\r\nCaseSensitive: ON\r\n" +
                     std::string(kRule) + "URL: http://dogs/a b\r\nHits: 4\r\nInstances: bark\r\n" +
                     kRule + "URL: http://dogs/cut\r\nHits: 1\r\nInstances: bark\r\n");
  // Typed without the extension.
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "dogs")
      .ExpectInformation("Query \"dogs.fwq\" has been loaded.")
      .ExpectMessage(MessageKind::kQuestion, kOtherSite, Answer::kNo);
  main_->Open1Click();

  const FileDialogRequest& dialog = LastFileDialog();
  EXPECT_EQ(dialog.title, "Open");
  EXPECT_EQ(dialog.filter, "Ferrowyn! Query Files (*.fwq)|*.fwq");
  EXPECT_EQ(dialog.initial_directory, datadir_);
  EXPECT_EQ(dialog.default_extension, "");
  EXPECT_EQ(dialog.file_name, "");
  EXPECT_FALSE(port_.prompts().back().message.close_box);

  EXPECT_EQ(ListedRows(), (Rows{{"http://dogs/a b", "4", "bark"}}));  // the cut record is dropped
  const SearchCenterState& state = main_->state();
  EXPECT_EQ(state.querysitename, "dogs.fwb");
  EXPECT_EQ(state.querykeywords, "bark");
  EXPECT_FALSE(state.queryany);  // "any" is not "ANY"
  EXPECT_TRUE(state.querywholeword);
  EXPECT_TRUE(state.querycasesensitive);
  // No: the other site stays open.
  EXPECT_EQ(state.sitename, "cats.fwb");
  EXPECT_TRUE(ops_.calls.empty());

  // Yes: the site is picked in the open dialog, not taken from the file.
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "dogs.fwq")
      .ExpectInformation("Query \"dogs.fwq\" has been loaded.")
      .ExpectMessage(MessageKind::kQuestion, kOtherSite, Answer::kYes);
  main_->Open1Click();
  EXPECT_EQ(ops_.calls, Strings{"opensitedialog "});
}

TEST_F(QueryFilesTest, IncompleteFileKeepsItsRowsAndOptionsItLacks) {
  main_->state().sitename = "cats.fwb";
  main_->state().querysitename = "cats.fwb";
  main_->state().querykeywords = "old";
  main_->state().queryany = false;
  main_->state().querycasesensitive = true;
  WriteFileBytes(datadir_ + "bare.fwq",
                 "Site: cats.fwb\r\nURL: http://a/\r\nHits: 1\r\n"
                 "Instances: All\r\n" +
                     std::string(kRule));
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "bare.fwq")
      .ExpectError("There was an error loading the query.");
  main_->Open1Click();
  EXPECT_EQ(ListedRows(), (Rows{{"http://a/", "1", "All"}}));
  EXPECT_EQ(main_->state().querykeywords, "");
  EXPECT_FALSE(main_->state().queryany);
  EXPECT_TRUE(main_->state().querycasesensitive);

  // Without a site line the file's site cannot be the open one: the question follows.
  WriteFileBytes(datadir_ + "nosite.fwq", "Search: cat\r\n");
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "nosite.fwq")
      .ExpectError("There was an error loading the query.")
      .ExpectMessage(MessageKind::kQuestion, kOtherSite, Answer::kNo);
  main_->Open1Click();
  EXPECT_EQ(main_->state().querysitename, "");
  EXPECT_EQ(main_->querylist().rowCount(), 0);
}

TEST_F(QueryFilesTest, UnreadableFileLeavesTheListAndStateAlone) {
  main_->state().querysitename = "cats.fwb";
  main_->state().querykeywords = "cat";
  AddRow("http://a/", "1", "All");
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "missing.fwq");
  EXPECT_THROW(main_->Open1Click(), EQueryFileError);
  EXPECT_EQ(ListedRows(), (Rows{{"http://a/", "1", "All"}}));
  EXPECT_EQ(main_->state().querysitename, "cats.fwb");
  EXPECT_EQ(main_->state().querykeywords, "cat");

  port_.ExpectFile(FileDialogRequest::kOpen, std::nullopt);  // cancelled
  main_->Open1Click();
  EXPECT_EQ(main_->querylist().rowCount(), 1);
}

TEST_F(QueryFilesTest, DeletesTheChosenFileOrReportsWhyNot) {
  WriteFileBytes(datadir_ + "old.fwq", "x");
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "old.fwq")
      .ExpectInformation("\"old.fwq\" has been removed from the system.");
  main_->Delete2Click();
  EXPECT_FALSE(fs::exists(datadir_ + "old.fwq"));
  const FileDialogRequest& dialog = LastFileDialog();
  EXPECT_EQ(dialog.title, "Delete");
  EXPECT_EQ(dialog.filter, "Ferrowyn! Queries (*.fwq)|*.fwq");
  EXPECT_EQ(dialog.initial_directory, datadir_);
  EXPECT_EQ(dialog.default_extension, "");

  // No extension is added for a delete, and a missing file is an error with the full path.
  WriteFileBytes(datadir_ + "kept.fwq", "x");
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "kept")
      .ExpectError("There was an error while trying to remove \"" + datadir_ +
                   "kept\" from the system.");
  main_->Delete2Click();
  EXPECT_TRUE(fs::exists(datadir_ + "kept.fwq"));

  // A directory is not a query file.
  fs::create_directory(datadir_ + "folder.fwq");
  port_.ExpectFile(FileDialogRequest::kOpen, datadir_ + "folder.fwq")
      .ExpectError("There was an error while trying to remove \"" + datadir_ +
                   "folder.fwq\" from the system.");
  main_->Delete2Click();
  EXPECT_TRUE(fs::is_directory(datadir_ + "folder.fwq"));

  port_.ExpectFile(FileDialogRequest::kOpen, std::nullopt);  // cancelled
  main_->Delete2Click();
  EXPECT_TRUE(fs::exists(datadir_ + "kept.fwq"));
}

TEST(QueryReportTest, DateIsShortAndTimeLongInTheLocalesFormats) {
  const QDateTime when(QDate(2026, 12, 9), QTime(7, 5, 3), QTimeZone::utc());
  EXPECT_EQ(ShortDateLongTime(when, QLocale(QLocale::German, QLocale::Germany)),
            "09.12.26 07:05:03 UTC");
  EXPECT_EQ(ShortDateLongTime(when, QLocale(QLocale::English, QLocale::UnitedStates)),
            "12/9/26 7:05:03 AM UTC");
}

}  // namespace
}  // namespace ferrowyn::testing
