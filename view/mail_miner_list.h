// The mail miner's list model (the search center's `mailview()`, one address per row in
// column 0) read as lines and sorted in place.
#pragma once

#include <QStandardItemModel>
#include <string>
#include <vector>

namespace ferrowyn {

// The list's lines in row order, as 8-bit text. GUI thread.
std::vector<std::string> MailListLines(const QStandardItemModel& mailview);

// Sorts the rows as SortMailLines (store/mail_list_file.h) sorts lines. GUI thread.
void SortMailList(QStandardItemModel& mailview);

}  // namespace ferrowyn
