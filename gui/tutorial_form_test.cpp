// The tutorial window driven as a user drives it: links clicked and pointed at in
// its pages, its buttons, closing and reopening, missing pages; and the shipped pages.
#include "gui/tutorial_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

#include "tests/support/scripted_user_port.h"

namespace ferrowyn::gui {
namespace {

using testing::ScriptedUserPort;
using Strings = std::vector<std::string>;

constexpr char kFilesMissing[] =
    "Files are missing from the Ferrowyn! tutorial. Please re-install.";

class TutorialTest : public ::testing::Test {
 protected:
  void WritePage(int page, const QString& body) {
    QDir().mkpath(folder_);
    QFile file(QDir(folder_).filePath(QString("tutorial%1.htm").arg(page)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("<html><body>" + body + "</body></html>").toLatin1());
  }
  std::string Caption() { return form_.windowTitle().toStdString(); }
  std::string Shown() { return form_.HTMLViewer1()->toPlainText().toStdString(); }
  void Press(const char* button) {
    form_.findChild<QAction*>(QString::fromLatin1(button))->trigger();
  }

  // Where the link with this target, as the page writes it, is on the screen.
  QPoint LinkAt(const QString& target) {
    QTextBrowser* pane = form_.HTMLViewer1();
    for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().anchorHref() != target) continue;
        QTextCursor cursor(pane->document());
        cursor.setPosition(it.fragment().position() + 1);
        pane->setTextCursor(cursor);
        pane->ensureCursorVisible();
        return pane->cursorRect(cursor).center();
      }
    }
    ADD_FAILURE() << "no link to " << target.toStdString();
    return {};
  }
  void Click(const QString& target) {
    QTest::mouseClick(form_.HTMLViewer1()->viewport(), Qt::LeftButton, {}, LinkAt(target));
  }

  QTemporaryDir dir_;
  QString folder_ = dir_.filePath("tutorial");
  ScriptedUserPort port_;
  Ttutorialform form_{folder_, port_};
};

TEST_F(TutorialTest, LinksFollowTheirRulesAndReopeningStartsAtPageOne) {
  WritePage(1,
            "first page <a href=\"tutorial3.htm\">three</a> <a href=\"TUTORIAL3.HTM\">THREE</a> "
            "<a href=\"mailto:help@site.example\">mail</a> "
            "<a href=\"HTTP://www.site.example/A%20b\">web</a>");
  WritePage(2, "second page");
  WritePage(3, "third page");
  WritePage(4, "fourth page");
  form_.ShowTutorial();
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial - Page 1");

  // The status bar shows a target exactly as written, not as a URL would spell it.
  QTest::mouseMove(form_.HTMLViewer1()->viewport(), LinkAt("HTTP://www.site.example/A%20b"));
  EXPECT_EQ(form_.statusBar()->currentMessage().toStdString(), "HTTP://www.site.example/A%20b");

  // In capitals, a page's name is not a page link; the page stays.
  Click("TUTORIAL3.HTM");
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial - Page 1");
  EXPECT_EQ(Shown().substr(0, 10), "first page");

  Click("mailto:help@site.example");
  Click("HTTP://www.site.example/A%20b");
  EXPECT_EQ(port_.events(),
            (Strings{"open mailto:help@site.example", "open HTTP://www.site.example/A%20b"}));
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial - Page 1");

  Click("tutorial3.htm");
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial - Page 3");
  EXPECT_EQ(Shown(), "third page");

  Press("page4");
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial - Page 4");
  EXPECT_EQ(Shown(), "fourth page");
  Press("Close");
  EXPECT_FALSE(form_.isVisible());

  form_.ShowTutorial();
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial - Page 1");
  EXPECT_EQ(Shown().substr(0, 10), "first page");
}

TEST_F(TutorialTest, MissingPagesAreReportedAndLeaveTheWindowAsItWas) {
  port_.ExpectError(kFilesMissing);
  form_.ShowTutorial();
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial");
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(port_.pending(), 0u);

  Press("Close");
  WritePage(1, "first page");
  form_.ShowTutorial();
  port_.ExpectError(kFilesMissing);
  Press("page2");
  EXPECT_EQ(Caption(), "Ferrowyn! Tutorial - Page 1");
  EXPECT_EQ(Shown(), "first page");
}

// The pages that come with the program link to each other, and every other link or
// picture they name is there beside them.
TEST(TutorialPagesTest, ShippedPagesLinkToEachOtherAndToFilesThatExist) {
  const QDir folder(QDir(qEnvironmentVariable("FERROWYN_SOURCE_DIR")).filePath("tutorial"));
  const QRegularExpression reference("(?:href|src)=\"([^\"]*)\"");
  for (int page = 1; page <= Ttutorialform::kPageCount; ++page) {
    const QString name = QString("tutorial%1.htm").arg(page);
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QString html = QString::fromUtf8(file.readAll());
    QStringList targets;
    for (const auto& match : reference.globalMatch(html)) targets << match.captured(1);
    for (int other = 1; other <= Ttutorialform::kPageCount; ++other) {
      if (other != page) {
        EXPECT_TRUE(targets.contains(QString("tutorial%1.htm").arg(other)))
            << name.toStdString() << " -> " << other;
      }
    }
    for (const QString& target : targets) {
      if (target.startsWith("http://") || target.startsWith("mailto:") || target.startsWith('#'))
        continue;
      EXPECT_TRUE(folder.exists(target.section('#', 0, 0)))
          << name.toStdString() << ": " << target.toStdString();
    }
  }
}

}  // namespace
}  // namespace ferrowyn::gui
