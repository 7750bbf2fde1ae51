// The mail miner's list sort (case folded, stable, empty lines first) over its model.
#include "view/mail_miner_list.h"

#include <gtest/gtest.h>

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

TEST(MailListSortTest, FoldsLettersBeforeComparingBytes) {
  QStandardItemModel model;
  // Raw bytes would put "B" (0x42) before "_" (0x5F) and "Z" before "a"; folded they
  // do not. Latin-1 capitals fold onto their small forms, which sort after ASCII.
  Fill(model, {"\xC9mile@x.fr", "B@x", "_a@x", "Zoe@x", "\xE9mile@x.fr", "anna@x", "1@x"});
  SortMailList(model);
  EXPECT_EQ(MailListLines(model),
            (Strings{"1@x", "_a@x", "anna@x", "B@x", "Zoe@x", "\xC9mile@x.fr", "\xE9mile@x.fr"}));
}

TEST(MailListSortTest, EmptyListStaysEmpty) {
  QStandardItemModel model;
  SortMailList(model);
  EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace ferrowyn
