// The results list `querylist`: the rows a query lists, with the columns "URL", "Hits" and
// "Found". The cells are 8-bit text kept in a few large blocks, a row being one small entry
// that points into them; a QString is made only when a view asks for a cell (as Latin-1).
#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_blocks.h"
#include "store/query_file.h"

namespace ferrowyn {

// The results list's columns.
enum QueryListColumn { kResultUrl = 0, kResultHits = 1, kResultFound = 2 };

// Owned by the main window's controller (or a command that reads a query file); GUI
// thread only. Read-only for views: rows change only through the operations below.
class QueryListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit QueryListModel(QObject* parent = nullptr);
  ~QueryListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  // The cell's text as Latin-1, for the display and edit roles; nothing for the others.
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // "URL", "Hits", "Found" across the top.
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Appends one row (one insertion, so that a view sees each row as it comes).
  void AppendRow(std::string_view url, std::string_view hits, std::string_view found);
  // Appends the rows in order with one insertion.
  void AppendRows(const std::vector<QueryResultRow>& rows);
  // Removes every row (and the memory that held them).
  void Clear();

  // A cell's bytes, valid until the list is cleared or destroyed; empty for a row or
  // column outside the list.
  std::string_view Cell(int row, int column) const;
  // Puts the rows in a new order in one layout change: `order[i]` is the current number
  // of the row that becomes row i, and `order` holds every row once. Selections and
  // other persistent indexes follow their rows. Throws std::invalid_argument otherwise.
  void Reorder(const std::vector<int>& order);

 private:
  struct Row {
    const char* text = nullptr;  // URL, hits and found, one after the other
    std::size_t url = 0, hits = 0, found = 0;
  };
  Row Store(std::string_view url, std::string_view hits, std::string_view found);

  std::vector<Row> rows_;
  ByteBlocks cells_;
};

}  // namespace ferrowyn
