// The site map, page list and mail list models: what views see through the item model
// interface, node handles across a clear, and the conversions to and from the list
// records of a saved site.
#include <gtest/gtest.h>

#include <QPersistentModelIndex>

#include "store/site_layout.h"
#include "view/mail_list_model.h"
#include "view/page_list_model.h"
#include "view/site_map_model.h"

namespace ferrowyn {
namespace {

std::string Text(const QVariant& value) { return value.toString().toLatin1().toStdString(); }

TEST(SiteMapModel, ViewsSeeTheTreeThroughTheModel) {
  SiteMapModel model;
  std::vector<std::pair<SiteMapNode, int>> inserted;  // parent node and row of each insert
  QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                   [&](const QModelIndex& parent, int first, int last) {
                     EXPECT_EQ(first, last);
                     inserted.emplace_back(model.NodeAt(parent), first);
                   });
  const SiteMapNode start = model.AddTopLevelNode("http://h/\xE9t\xE9", kStartPageImage);
  const SiteMapNode a = model.AddChildNode(start, "http://h/a.htm", kPageImage);
  const SiteMapNode b = model.AddChildNode(start, "http://h/b.htm", kPageImage);
  const SiteMapNode leaf = model.AddChildNode(b, "mailto:x", kPageImage);
  EXPECT_EQ(inserted, (std::vector<std::pair<SiteMapNode, int>>{
                          {kNoNode, 0}, {start, 0}, {start, 1}, {b, 0}}));

  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.columnCount(), 1);
  const QModelIndex top = model.index(0, 0);
  EXPECT_EQ(Text(model.data(top)), "http://h/\xE9t\xE9");
  EXPECT_EQ(model.data(top).toString(), QString::fromUtf8("http://h/\u00e9t\u00e9"));
  EXPECT_EQ(model.data(top, SiteMapModel::ImageIndexRole).toInt(), kStartPageImage);
  EXPECT_EQ(model.data(top, SiteMapModel::NodeRole).toULongLong(), start);
  EXPECT_EQ(model.rowCount(top), 2);
  const QModelIndex second = model.index(1, 0, top);
  EXPECT_EQ(Text(model.data(second)), "http://h/b.htm");
  EXPECT_EQ(model.parent(second), top);
  EXPECT_FALSE(model.parent(top).isValid());
  EXPECT_EQ(model.NodeAt(model.index(0, 0, second)), leaf);
  EXPECT_EQ(model.IndexOf(a), model.index(0, 0, top));
  EXPECT_FALSE(model.index(2, 0, top).isValid());
  EXPECT_FALSE(model.index(0, 1, top).isValid());
  EXPECT_EQ(Text(model.headerData(0, Qt::Horizontal)), "Ferrowyn! Site Map");

  EXPECT_EQ(model.Parent(leaf), b);
  EXPECT_EQ(model.Parent(start), kNoNode);
  EXPECT_EQ(model.Depth(leaf), 2);
  EXPECT_EQ(model.Children(kNoNode), std::vector<SiteMapNode>{start});
  EXPECT_EQ(model.Children(start), (std::vector<SiteMapNode>{a, b}));
}

TEST(SiteMapModel, HandlesOfAClearedTreeNameNothing) {
  SiteMapModel model;
  const SiteMapNode old_start = model.AddTopLevelNode("http://h/", kStartPageImage);
  const SiteMapNode old_child = model.AddChildNode(old_start, "http://h/a", kPageImage);
  model.Clear();
  EXPECT_TRUE(model.Empty());
  EXPECT_FALSE(model.Contains(old_start));
  EXPECT_EQ(model.AddChildNode(old_start, "x", kPageImage), kNoNode);
  EXPECT_EQ(model.Text(old_child), "");
  EXPECT_FALSE(model.IndexOf(old_child).isValid());

  const SiteMapNode fresh = model.AddTopLevelNode("http://new/", kStartPageImage);
  EXPECT_NE(fresh, old_start);
  EXPECT_NE(fresh, old_child);
  EXPECT_FALSE(model.Contains(old_start));
  EXPECT_EQ(model.AddChildNode(kNoNode, "x", kPageImage), kNoNode);
  EXPECT_EQ(model.NodeCount(), 1);
}

TEST(SiteMapModel, TreeSurvivesTheSiteMapRecord) {
  SiteMapModel model;
  const SiteMapNode start = model.AddTopLevelNode("http://h/", kStartPageImage);
  const SiteMapNode a = model.AddChildNode(start, "http://h/a.htm", kPageImage);
  model.AddChildNode(a, "http://h/a1.htm", kPageImage);
  model.AddChildNode(start, "http://h/b.htm", kPageImage);
  model.AddTopLevelNode("http://second/", kStartPageImage);
  const std::string record = WriteWebMap(model.Tree());
  EXPECT_EQ(record,
            "http://h/\r\n\thttp://h/a.htm\r\n\t\thttp://h/a1.htm\r\n\thttp://h/b.htm\r\n"
            "http://second/\r\n");

  SiteMapModel opened;
  int resets = 0;
  QObject::connect(&opened, &QAbstractItemModel::modelReset, [&] { ++resets; });
  opened.SetTree(ReadWebMap(record));
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(WriteWebMap(opened.Tree()), record);
  // The record keeps no images: every node comes back as a page; the opener marks the start.
  const SiteMapNode first = opened.Children(kNoNode).front();
  EXPECT_EQ(opened.ImageIndex(first), kPageImage);
  std::vector<QModelIndex> changed;
  QObject::connect(&opened, &QAbstractItemModel::dataChanged,
                   [&](const QModelIndex& from, const QModelIndex&) { changed.push_back(from); });
  opened.SetImageIndex(first, kStartPageImage);
  EXPECT_EQ(opened.data(opened.index(0, 0), SiteMapModel::ImageIndexRole).toInt(), kStartPageImage);
  EXPECT_EQ(changed, std::vector<QModelIndex>{opened.index(0, 0)});
  EXPECT_EQ(opened.Depth(opened.Children(opened.Children(first)[0])[0]), 2);

  opened.SetTree(ReadWebMap(WriteWebMap({})));  // "PLACEHOLDER" opens as an empty tree
  EXPECT_TRUE(opened.Empty());
  EXPECT_EQ(opened.rowCount(), 0);
}

TEST(SiteMapModel, DeepChainsNeedNoRecursion) {
  // A site of "next page" links nests every page under the one before.
  SiteMapModel model;
  SiteMapNode node = model.AddTopLevelNode("http://h/0", kStartPageImage);
  for (int i = 1; i < 200000; ++i) {
    node = model.AddChildNode(node, "http://h/" + std::to_string(i), kPageImage);
  }
  EXPECT_EQ(model.Depth(node), 199999);
  EXPECT_EQ(model.Text(node), "http://h/199999");

  model.Clear();

  // The nested form of the record code is kept shallower here: its own destruction recurses.
  node = model.AddTopLevelNode("http://h/0", kStartPageImage);
  for (int i = 1; i < 5000; ++i) {
    node = model.AddChildNode(node, "http://h/" + std::to_string(i), kPageImage);
  }
  SiteMapModel copy;
  copy.SetTree(model.Tree());
  EXPECT_EQ(copy.NodeCount(), 5000);
  SiteMapNode last = copy.Children(kNoNode).front();
  while (!copy.Children(last).empty()) last = copy.Children(last).front();
  EXPECT_EQ(copy.Text(last), "http://h/4999");
  EXPECT_EQ(copy.Depth(last), 4999);
}

TEST(PageListModel, RowsAreUniqueByFoldedCaption) {
  PageListModel model;
  EXPECT_TRUE(model.AddRow("http://h/a.htm", "A"));
  EXPECT_FALSE(model.AddRow("http://H/A.HTM", "B"));
  EXPECT_TRUE(model.HasCaption("HTTP://h/a.htm"));
  EXPECT_FALSE(model.HasCaption("http://h/a.html"));
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.columnCount(), 2);
  EXPECT_EQ(Text(model.data(model.index(0, PageListModel::kUrlColumn))), "http://h/a.htm");
  EXPECT_EQ(Text(model.data(model.index(0, PageListModel::kTitleColumn))), "A");
  EXPECT_EQ(Text(model.headerData(0, Qt::Horizontal)), "URL");
  EXPECT_EQ(Text(model.headerData(1, Qt::Horizontal)), "Title");
  model.Clear();
  EXPECT_FALSE(model.HasCaption("http://h/a.htm"));
  EXPECT_TRUE(model.AddRow("http://h/a.htm", "again"));
}

TEST(PageListModel, RowsSurviveThePageListRecord) {
  PageListModel model;
  model.AddRow("http://h/", "Home = start");
  model.AddRow("http://h/x.htm", "Untitled");
  const std::string record = WriteWebList(model.Rows());
  EXPECT_EQ(record,
            "[URL]\r\nURL=http://h/\r\nTitle=Home = start\r\n"
            "[URL]\r\nURL=http://h/x.htm\r\nTitle=Untitled\r\n");

  // A record may hold one URL twice: both rows open, and a third is still refused.
  PageListModel opened;
  opened.SetRows(ReadWebList(record + "[URL]\r\nURL=HTTP://H/\r\nTitle=Twice\r\n"));
  EXPECT_EQ(opened.RowCount(), 3);
  EXPECT_EQ(opened.Row(2), (PageListRow{"HTTP://H/", "Twice"}));
  EXPECT_FALSE(opened.AddRow("http://h/", "Third"));
  EXPECT_TRUE(opened.AddRow("http://h/new.htm", "New"));
  EXPECT_EQ(WriteWebList(opened.Rows()).substr(0, record.size()), record);

  opened.SetRows(ReadWebList(WriteWebList({})));
  EXPECT_EQ(opened.RowCount(), 0);
}

TEST(PageListModel, SortingIgnoresAsciiCaseAndKeepsEqualRowsInOrder) {
  PageListModel model;
  model.AddRow("http://h/b.htm", "beta");
  model.AddRow("http://h/A.htm", "Alpha");
  model.AddRow("http://h/a.htm2", "alpha");
  model.AddRow("http://h/C.htm", "Beta");
  const QPersistentModelIndex selected = model.index(0, PageListModel::kTitleColumn);
  auto urls = [&] {
    std::vector<std::string> list;
    for (const PageListRow& row : model.Rows()) list.push_back(row.Url);
    return list;
  };

  model.sort(PageListModel::kTitleColumn);
  EXPECT_EQ(urls(), (std::vector<std::string>{"http://h/A.htm", "http://h/a.htm2", "http://h/b.htm",
                                              "http://h/C.htm"}));
  EXPECT_EQ(selected.row(), 2);
  EXPECT_EQ(Text(selected.data()), "beta");

  model.sort(PageListModel::kUrlColumn, Qt::DescendingOrder);
  EXPECT_EQ(urls(), (std::vector<std::string>{"http://h/C.htm", "http://h/b.htm", "http://h/a.htm2",
                                              "http://h/A.htm"}));
  EXPECT_EQ(selected.row(), 1);
  EXPECT_FALSE(model.AddRow("HTTP://H/C.HTM", "still known after sorting"));
}

TEST(MailListModel, AddressesAreKeptOnceAndSurviveTheMailRecord) {
  MailListModel model;
  EXPECT_TRUE(model.AddAddress("a@h.org"));
  EXPECT_FALSE(model.AddAddress("A@H.ORG"));
  EXPECT_TRUE(model.AddAddress("b@h.org"));
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(Text(model.data(model.index(1, 0))), "b@h.org");
  const std::string record = WriteEmail(model.Lines());
  EXPECT_EQ(record, "a@h.org\r\nb@h.org\r\n");

  MailListModel opened;
  opened.SetLines(ReadEmail(record));
  EXPECT_EQ(opened.Lines(), model.Lines());
  EXPECT_TRUE(opened.Holds("B@h.org"));
  EXPECT_FALSE(opened.AddAddress("b@H.org"));
  opened.SetLines(ReadEmail(WriteEmail({})));
  EXPECT_EQ(opened.Count(), 0);
  EXPECT_FALSE(opened.Holds("a@h.org"));
}

}  // namespace
}  // namespace ferrowyn
