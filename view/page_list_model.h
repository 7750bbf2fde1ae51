// The page list `urllistview`: one row per retrieved page, its URL as the caption and its
// title beside it, as a table model for the view.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "crawl/capture_targets.h"
#include "store/site_layout.h"

namespace ferrowyn {

// Columns "URL" and "Title"; texts are 8-bit and shown as Latin-1. A set of the folded
// captions (letter case ignored as the site store ignores it in keys: ASCII and Latin-1
// letters) is kept beside the rows, so that AddRow finds a caption without scanning.
// Owned by the crawl controller; GUI thread only; throws only std::bad_alloc.
class PageListModel : public QAbstractTableModel, public PageListTarget {
 public:
  enum Column { kUrlColumn = 0, kTitleColumn = 1 };

  explicit PageListModel(QObject* parent = nullptr);

  // Appends a row unless one has `url` as its caption without regard to case; true when
  // the row was added.
  bool AddRow(std::string_view url, std::string_view title) override;
  bool HasCaption(std::string_view url) const;
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const PageListRow& Row(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

  void Clear();
  // The rows in order, for the "WEBLIST" record.
  const std::vector<PageListRow>& Rows() const { return rows_; }
  // Replaces the rows by those read from a "WEBLIST" record, kept as they are (a record
  // that holds one URL twice keeps both rows; AddRow still refuses a third).
  void SetRows(std::vector<PageListRow> rows);

  // Sorts the rows in ascending (or descending) order of the URL column, or of the title
  // for any other column, comparing without regard to the case of ASCII letters; rows that
  // compare equal keep their order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // QAbstractItemModel.
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<PageListRow> rows_;
  std::unordered_set<std::string> captions_;  // folded
};

}  // namespace ferrowyn
