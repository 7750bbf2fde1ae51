// The site map page and the results list driven as a user drives them: finding in the
// page list, sorting by a header, the three-state toggle, and opening pages from the
// tree, the page list and the results list with each focus.
#include "gui/site_map_page.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeView>

#include "gui/find_answer_test_util.h"
#include "gui/main_window.h"
#include "gui/program.h"
#include "gui/results_list.h"
#include "gui/viewer.h"
#include "store/site_layout.h"
#include "tests/support/scripted_user_port.h"
#include "view/page_display.h"

namespace ferrowyn::gui {
namespace {

using ferrowyn::testing::ScriptedUserPort;
using testing::AnswerFind;
using Strings = std::vector<std::string>;

constexpr char kOne[] = "http://x.test/One.htm";
constexpr char kTwo[] = "http://x.test/two.htm";
constexpr char kThree[] = "http://x.test/THREE.htm";

class SiteMapPageTest : public ::testing::Test {
 protected:
  SiteMapPageTest() : programdir_(dir_.path().toStdString()) {
    QDir(dir_.path()).mkpath("data");
    // A user who switched Getting Started off: nothing covers the window at start-up.
    SettingsStore(programdir_ + "/settings.ini").Write("Defaults", "ShowFirst", "On");
    program_ = std::make_unique<Program>(port_, SettingsStore(programdir_ + "/settings.ini"),
                                         programdir_, Strings{}, dir_.path() + "/help");
    window().show();
    Activate();
    Tsearchmain& main = program_->controller();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.Timer1().isActive(); }, 30000));
    // Showing the window cleared the views: the site comes after.
    main.QDB().SetFileName(programdir_ + "/data/temp.fwt");
    const std::pair<const char*, const char*> pages[] = {
        {kOne, "Alpha & Co"}, {kTwo, "beta"}, {kThree, "Alpha"}};
    for (const auto& [url, title] : pages) {
      main.QDB().AddItem(
          std::string("<html><title>") + title + "</title>alpha in " + url + "</html>",
          DisplayKey(url));
      main.urllistview().AddRow(url, title);
    }
    const SiteMapNode top = main.mainview().AddTopLevelNode(kOne, 1);
    main.mainview().AddChildNode(top, kTwo, 0);
    main.state().siteloaded = true;
    main.ToolbarButton974Click();  // the site map page
  }

  MainWindow& window() { return program_->window(); }
  void Activate() {
    window().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
  }
  SiteMapPage& page() { return window().sitemappage(); }
  Tviewer& viewer() { return program_->viewer(); }
  QAction* FindAgain() { return window().findChild<QAction*>("FindAgain1"); }
  int CurrentRow() { return page().urllistview()->currentIndex().row(); }
  // A key as the user presses it, once the window is active again (after a dialog or
  // the viewer it becomes active later).
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    Activate();
    QTest::keyClick(&window(), Qt::Key(key), modifiers);
  }
  Strings Column(QAbstractItemModel* model, int column) {
    Strings texts;
    for (int row = 0; row < model->rowCount(); ++row)
      texts.push_back(model->index(row, column).data().toString().toStdString());
    return texts;
  }
  void ClickHeader(QTreeView* view, int section) {
    QHeaderView* header = view->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  }
  std::string Shown() { return viewer().windowTitle().toStdString() + "|" + viewer().pageurl(); }

  QTemporaryDir dir_;
  std::string programdir_;
  ScriptedUserPort port_;
  std::unique_ptr<Program> program_;
};

TEST_F(SiteMapPageTest, FindsInThePageList) {
  EXPECT_FALSE(FindAgain()->isEnabled());
  AnswerFind("ALPHA", false);
  Key(Qt::Key_F);
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_TRUE(FindAgain()->isEnabled());
  Key(Qt::Key_F3, Qt::NoModifier);
  EXPECT_EQ(CurrentRow(), 2);
  // Past the last match: one message, the selection kept, then from the top again.
  port_.ExpectInformation("No instances of \"ALPHA\" could be found.");
  Key(Qt::Key_F3, Qt::NoModifier);
  EXPECT_EQ(CurrentRow(), 2);
  EXPECT_FALSE(FindAgain()->isEnabled());
  page().searchmainit(false);
  EXPECT_EQ(CurrentRow(), 0);

  // Match case; a new text starts at the top; the URL counts as well as the title.
  AnswerFind("three", true);
  port_.ExpectInformation("No instances of \"three\" could be found.");
  page().searchmainit(true);
  AnswerFind("THREE", true);
  page().searchmainit(true);
  EXPECT_EQ(CurrentRow(), 2);
  // "&" shown as typed; an empty text is found nowhere.
  AnswerFind("& co", false);
  page().searchmainit(true);
  EXPECT_EQ(CurrentRow(), 0);
  AnswerFind("x&y", false);
  port_.ExpectInformation("No instances of \"x&y\" could be found.");
  page().searchmainit(true);
  AnswerFind("", false);
  port_.ExpectInformation("No instances of \"\" could be found.");
  page().searchmainit(true);
  // Cancel searches nothing but keeps the dialog's text for Find Again.
  AnswerFind("beta", false, false);
  page().searchmainit(true);
  EXPECT_EQ(CurrentRow(), 0);
  page().searchmainit(false);
  EXPECT_EQ(CurrentRow(), 1);
}

TEST_F(SiteMapPageTest, SortsByAHeaderAndTogglesThePanes) {
  QTreeView* list = page().urllistview();
  ClickHeader(list, 0);
  EXPECT_EQ(Column(list->model(), 0), (Strings{kOne, kThree, kTwo}));
  ClickHeader(list, 1);
  EXPECT_EQ(Column(list->model(), 1), (Strings{"Alpha", "Alpha & Co", "beta"}));
  ClickHeader(list, 1);
  EXPECT_EQ(Column(list->model(), 1), (Strings{"Alpha", "Alpha & Co", "beta"}));

  QueryListModel& results = program_->controller().querylist();
  for (const Strings& row : {Strings{"http://b", "3", "x"}, Strings{"http://A", "12", "y"},
                             Strings{"http://c", "none", "z"}, Strings{"http://D", "9", "w"},
                             Strings{"http://e", "", "v"}}) {
    results.AppendRow(row[0], row[1], row[2]);
  }
  program_->controller().ToolbarButton975Click();
  auto* querylist = window().findChild<QTreeView*>("querylist");
  ClickHeader(querylist, 1);
  EXPECT_EQ(Column(&results, 0),
            (Strings{"http://A", "http://D", "http://b", "http://c", "http://e"}));
  ClickHeader(querylist, 0);
  const Strings byurl{"http://A", "http://b", "http://c", "http://D", "http://e"};
  EXPECT_EQ(Column(&results, 0), byurl);
  ClickHeader(querylist, 0);
  EXPECT_EQ(Column(&results, 0), byurl);

  program_->controller().ToolbarButton974Click();
  QWidget* map = page().widget(0);
  QWidget* pagelist = page().widget(1);
  const int height = page().height();
  Key(Qt::Key_T);
  EXPECT_TRUE(map->isHidden());
  EXPECT_FALSE(pagelist->isHidden());
  Key(Qt::Key_T);
  EXPECT_FALSE(map->isHidden());
  EXPECT_TRUE(pagelist->isHidden());
  Key(Qt::Key_T);
  EXPECT_FALSE(map->isHidden());
  EXPECT_FALSE(pagelist->isHidden());
  EXPECT_EQ(page().handleWidth(), 3);
  EXPECT_EQ(page().BarPosition(), height / 2);
}

TEST_F(SiteMapPageTest, OpensPagesWithEachFocus) {
  // The tree focused, no node ever clicked.
  QTreeView* tree = page().mainview();
  tree->setFocus();
  port_.ExpectError(kSelectUrlFirst).ExpectError(kSelectUrlFirst);
  Key(Qt::Key_O);
  Key(Qt::Key_B);
  // A right click on empty space disables the tree's pop-up items; one on a node sets
  // `clickednode` and enables them.
  QTest::mousePress(tree->viewport(), Qt::RightButton, {},
                    QPoint(5, tree->viewport()->height() - 5));
  EXPECT_FALSE(page().PopupMenuMainView()->actions().front()->isEnabled());
  QTest::mousePress(tree->viewport(), Qt::LeftButton, {},
                    tree->visualRect(tree->model()->index(0, 0)).center());
  EXPECT_TRUE(page().PopupMenuMainView()->actions().front()->isEnabled());
  tree->setFocus();
  Key(Qt::Key_O);
  EXPECT_EQ(Shown(), std::string("Alpha & Co|") + kOne);
  EXPECT_EQ(viewer().helptopic(), 1028);
  Activate();
  tree->setFocus();
  Key(Qt::Key_B);
  EXPECT_EQ(port_.events(), Strings{std::string("open ") + kOne});

  // The page list focused: nothing without a selection, else its row.
  QTreeView* list = page().urllistview();
  Activate();
  list->setFocus();
  list->clearSelection();
  Key(Qt::Key_O);
  Key(Qt::Key_B);
  EXPECT_EQ(port_.events().size(), 1u);
  list->setCurrentIndex(list->model()->index(1, 0));
  Key(Qt::Key_O);
  EXPECT_EQ(Shown(), std::string("beta|") + kTwo);
  Activate();
  list->setFocus();
  Key(Qt::Key_B);
  EXPECT_EQ(port_.events().back(), std::string("open ") + kTwo);
  // A double click on a row opens it too.
  const QPoint third = list->visualRect(list->model()->index(2, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third);
  EXPECT_EQ(Shown(), std::string("Alpha|") + kThree);

  // The results list: Ctrl+O hands the selected row to the browser, Ctrl+K shows it with
  // the keywords marked.
  Tsearchmain& main = program_->controller();
  main.ToolbarButton975Click();
  Activate();
  port_.ExpectError(kSelectQueryResultFirst);
  Key(Qt::Key_O);
  main.querylist().AppendRow(kThree, "2", "alpha");
  auto* querylist = window().findChild<QTreeView*>("querylist");
  querylist->setCurrentIndex(main.querylist().index(0, 0));
  Key(Qt::Key_O);
  EXPECT_EQ(port_.events().back(), std::string("open ") + kThree);
  main.state().querysitename = main.state().sitename;
  main.state().querykeywords = "alpha";
  main.live().highgraph = true;
  main.live().highlightcolor = Rgb{0x00, 0x80, 0x00};
  Key(Qt::Key_K);
  EXPECT_EQ(Shown(), std::string("Alpha|") + kThree);
  EXPECT_EQ(viewer().helptopic(), 1053);
  QTextBrowser* html = viewer().HTMLViewer1();
  EXPECT_EQ(html->toPlainText().toStdString(), std::string("alpha in ") + kThree);
  QTextCursor cursor(html->document());
  cursor.setPosition(1);
  EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0x00, 0x80, 0x00));
  EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
  cursor.setPosition(7);
  EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
  EXPECT_EQ(viewer().plaintext()->toPlainText().toStdString(),
            std::string("alpha in ") + kThree + "\n");
}

}  // namespace
}  // namespace ferrowyn::gui
