// The mail miner's list sort (by locale without case, stable, empty lines first) over its
// model.
#include "view/mail_miner_list.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStandardItem>

namespace ferrowyn {
namespace {

using Strings = std::vector<std::string>;

void Fill(QStandardItemModel& model, const Strings& lines) {
  model.clear();
  for (const std::string& line : lines)
    model.appendRow(new QStandardItem(QString::fromLatin1(line.data(), line.size())));
}

TEST(MailListSortTest, IgnoresCaseKeepsEqualLinesInOrderAndPutsEmptyLinesFirst) {
  QStandardItemModel model;
  Fill(model, {"zed@a.com", "Bob@b.com", "", "alice@c.com", "bob@b.com", "ALICE@c.com", "",
               "alice@c.com"});
  SortMailList(model);
  EXPECT_EQ(MailListLines(model), (Strings{"", "", "alice@c.com", "ALICE@c.com", "alice@c.com",
                                           "Bob@b.com", "bob@b.com", "zed@a.com"}));
}

TEST(MailListSortTest, FollowsTheUsersLocale) {
  // By bytes, or by letters folded alone, "\xE9" would follow every ASCII letter; in an
  // English collation it is an accented "e".
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QStandardItemModel model;
  Fill(model, {"eve@x.fr", "\xE9mile@x.fr", "Zoe@x", "Eliza@x", "emma@x"});
  SortMailList(model);
  QLocale::setDefault(before);
  EXPECT_EQ(MailListLines(model),
            (Strings{"Eliza@x", "\xE9mile@x.fr", "emma@x", "eve@x.fr", "Zoe@x"}));
}

TEST(MailListSortTest, EmptyListStaysEmpty) {
  QStandardItemModel model;
  SortMailList(model);
  EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace ferrowyn
