// The page list rows with their folded captions.
#include "view/page_list_model.h"

#include <algorithm>

#include "base/case_folding.h"

namespace ferrowyn {

namespace {

std::string Folded(std::string_view text) { return Latin1Lower(text); }

bool LessIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
  });
}

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PageListModel::PageListModel(QObject* parent) : QAbstractTableModel(parent) {}

bool PageListModel::AddRow(std::string_view url, std::string_view title) {
  std::string folded = Folded(url);
  if (captions_.contains(folded)) return false;
  const int row = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), row, row);
  rows_.push_back(PageListRow{std::string(url), std::string(title)});
  captions_.insert(std::move(folded));
  endInsertRows();
  return true;
}

bool PageListModel::HasCaption(std::string_view url) const {
  return captions_.contains(Folded(url));
}

void PageListModel::Clear() {
  beginResetModel();
  rows_.clear();
  captions_.clear();
  endResetModel();
}

void PageListModel::SetRows(std::vector<PageListRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  captions_.clear();
  for (const PageListRow& row : rows_) captions_.insert(Folded(row.Url));
  endResetModel();
}

void PageListModel::sort(int column, Qt::SortOrder order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  // Remember where each row stood so that persistent indexes (the selection) follow it.
  std::vector<int> from(rows_.size());
  for (std::size_t i = 0; i < from.size(); ++i) from[i] = static_cast<int>(i);
  auto key = [&](int row) -> const std::string& {
    return column == kUrlColumn ? rows_[row].Url : rows_[row].Title;
  };
  std::stable_sort(from.begin(), from.end(), [&](int a, int b) {
    return order == Qt::AscendingOrder ? LessIgnoringAsciiCase(key(a), key(b))
                                       : LessIgnoringAsciiCase(key(b), key(a));
  });
  std::vector<PageListRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> to(rows_.size());
  for (std::size_t i = 0; i < from.size(); ++i) {
    sorted.push_back(std::move(rows_[from[i]]));
    to[from[i]] = static_cast<int>(i);
  }
  rows_ = std::move(sorted);
  QModelIndexList after;
  for (const QModelIndex& index : before)
    after.append(this->index(to[index.row()], index.column()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int PageListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PageListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant PageListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const PageListRow& row = rows_.at(static_cast<std::size_t>(index.row()));
  return Latin1(index.column() == kUrlColumn ? row.Url : row.Title);
}

QVariant PageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == kUrlColumn) return QStringLiteral("URL");
  if (section == kTitleColumn) return QStringLiteral("Title");
  return {};
}

}  // namespace ferrowyn
