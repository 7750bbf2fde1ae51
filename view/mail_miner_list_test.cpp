// The mail miner's list sort (by locale without case, stable, empty lines first) over its
// model.
#include "view/mail_miner_list.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace ferrowyn {
namespace {

using Strings = std::vector<std::string>;

TEST(MailListSortTest, IgnoresCaseKeepsEqualLinesInOrderAndPutsEmptyLinesFirst) {
  MailMinerList model;
  model.SetLines({"zed@a.com", "Bob@b.com", "", "alice@c.com", "bob@b.com", "ALICE@c.com", "",
               "alice@c.com"});
  model.Sort();
  EXPECT_EQ(model.Lines(), (Strings{"", "", "alice@c.com", "ALICE@c.com", "alice@c.com",
                                           "Bob@b.com", "bob@b.com", "zed@a.com"}));
}

TEST(MailListSortTest, FollowsTheUsersLocale) {
  // By bytes, or by letters folded alone, "\xE9" would follow every ASCII letter; in an
  // English collation it is an accented "e".
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  MailMinerList model;
  model.SetLines({"eve@x.fr", "\xE9mile@x.fr", "Zoe@x", "Eliza@x", "emma@x"});
  model.Sort();
  QLocale::setDefault(before);
  EXPECT_EQ(model.Lines(),
            (Strings{"Eliza@x", "\xE9mile@x.fr", "emma@x", "eve@x.fr", "Zoe@x"}));
}

TEST(MailListSortTest, EmptyListStaysEmpty) {
  MailMinerList model;
  model.Sort();
  EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace ferrowyn
