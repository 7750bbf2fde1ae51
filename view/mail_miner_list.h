// The mail miner's list model (the search center's `mailview()`, one address per row in
// column 0) read as lines and sorted in place.
#pragma once

#include <QStandardItemModel>
#include <string>
#include <vector>

namespace ferrowyn {

// The list's lines in row order, as 8-bit text. GUI thread.
std::vector<std::string> MailListLines(const QStandardItemModel& mailview);

// Sorts the rows in ascending order by the user's locale (QCollator over the default
// QLocale), without regard to letter case. Lines equal under it keep their order, none
// is removed, and empty lines come first. GUI thread; throws only std::bad_alloc.
void SortMailList(QStandardItemModel& mailview);

}  // namespace ferrowyn
