// The mail miner's list (the search center's `mailview()`): one address per row, as
// 8-bit text, sorted in place on request.
#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

namespace ferrowyn {

// GUI thread only. Each row shows its line as Latin-1 text.
class MailMinerList : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit MailMinerList(QObject* parent = nullptr);

  const std::vector<std::string>& Lines() const { return lines_; }
  // Replaces every row.
  void SetLines(std::vector<std::string> lines);
  // Adds rows at the end.
  void Append(const std::vector<std::string>& lines);
  // Sorts the rows in ascending order by the user's locale (QCollator over the default
  // QLocale), without regard to letter case. Lines equal under it keep their order, none
  // is removed, and empty lines come first. Throws only std::bad_alloc.
  void Sort();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  std::vector<std::string> lines_;
};

}  // namespace ferrowyn
