// The mail addresses collected during a crawl (`maillist`), in the order found, each once,
// as a one-column list model.
#pragma once

#include <QAbstractListModel>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "crawl/capture_targets.h"

namespace ferrowyn {

// One address per row; texts are 8-bit and shown as Latin-1. A set of the folded
// addresses (ASCII and Latin-1 letters folded) is kept beside the list, so that an
// address is found without scanning.
// Owned by the crawl controller; GUI thread only; throws only std::bad_alloc.
class MailListModel : public QAbstractListModel, public MailListTarget {
 public:
  explicit MailListModel(QObject* parent = nullptr);

  // Appends `address` as given unless the list holds it without regard to case; true when
  // it was added.
  bool AddAddress(std::string_view address) override;
  bool Holds(std::string_view address) const;
  int Count() const { return static_cast<int>(lines_.size()); }

  void Clear();
  // The addresses in order, one per line (as the "EMAIL" record and the mail miner take
  // them).
  const std::vector<std::string>& Lines() const { return lines_; }
  // Replaces the list by `lines`, kept as they are (repeats included).
  void SetLines(std::vector<std::string> lines);

  // QAbstractItemModel.
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  std::vector<std::string> lines_;
  std::unordered_set<std::string> folded_;
};

}  // namespace ferrowyn
