// The results list's rows and what a view reads of them.
#include "query/query_list_model.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace ferrowyn {

namespace {

constexpr int kColumns = 3;

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QueryListModel::QueryListModel(QObject* parent) : QAbstractTableModel(parent) {}

QueryListModel::~QueryListModel() = default;

int QueryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int QueryListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant QueryListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  if (!index.isValid() || index.model() != this) return {};
  return Latin1(Cell(index.row(), index.column()));
}

QVariant QueryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  switch (section) {
    case kResultUrl:
      return QStringLiteral("URL");
    case kResultHits:
      return QStringLiteral("Hits");
    case kResultFound:
      return QStringLiteral("Found");
    default:
      return {};
  }
}

Qt::ItemFlags QueryListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QueryListModel::Row QueryListModel::Store(std::string_view url, std::string_view hits,
                                          std::string_view found) {
  return {cells_.Keep({url, hits, found}), url.size(), hits.size(), found.size()};
}

void QueryListModel::AppendRow(std::string_view url, std::string_view hits,
                               std::string_view found) {
  if (rows_.size() >= static_cast<std::size_t>(INT_MAX)) throw std::length_error("too many rows");
  const Row row = Store(url, hits, found);
  // Room first, growing as push_back would, so that nothing can fail between the signals.
  if (rows_.size() == rows_.capacity()) rows_.reserve(std::max<std::size_t>(64, 2 * rows_.size()));
  const int at = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), at, at);
  rows_.push_back(row);
  endInsertRows();
}

void QueryListModel::AppendRows(const std::vector<QueryResultRow>& rows) {
  if (rows.empty()) return;
  if (rows.size() > static_cast<std::size_t>(INT_MAX) - rows_.size()) {
    throw std::length_error("too many rows");
  }
  std::vector<Row> stored;
  stored.reserve(rows.size());
  for (const QueryResultRow& row : rows) stored.push_back(Store(row.url, row.hits, row.found));
  rows_.reserve(rows_.size() + stored.size());
  const int first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(stored.size()) - 1);
  rows_.insert(rows_.end(), stored.begin(), stored.end());
  endInsertRows();
}

void QueryListModel::Clear() {
  if (!rows_.empty()) {
    beginRemoveRows(QModelIndex(), 0, static_cast<int>(rows_.size()) - 1);
    std::vector<Row>().swap(rows_);
    endRemoveRows();
  }
  cells_.Clear();
}

std::string_view QueryListModel::Cell(int row, int column) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return {};
  const Row& r = rows_[static_cast<std::size_t>(row)];
  switch (column) {
    case kResultUrl:
      return {r.text, r.url};
    case kResultHits:
      return {r.text + r.url, r.hits};
    case kResultFound:
      return {r.text + r.url + r.hits, r.found};
    default:
      return {};
  }
}

void QueryListModel::Reorder(const std::vector<int>& order) {
  const std::size_t count = rows_.size();
  if (order.size() != count) throw std::invalid_argument("not every row is placed");
  std::vector<int> place(count, -1);  // the new number of each current row
  for (std::size_t i = 0; i < count; ++i) {
    const int from = order[i];
    if (from < 0 || static_cast<std::size_t>(from) >= count ||
        place[static_cast<std::size_t>(from)] != -1) {
      throw std::invalid_argument("not every row is placed once");
    }
    place[static_cast<std::size_t>(from)] = static_cast<int>(i);
  }
  std::vector<Row> sorted;
  sorted.reserve(count);
  for (const int from : order) sorted.push_back(rows_[static_cast<std::size_t>(from)]);

  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    after.push_back(index.isValid()
                        ? createIndex(place[static_cast<std::size_t>(index.row())], index.column())
                        : QModelIndex());
  }
  rows_.swap(sorted);
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace ferrowyn
