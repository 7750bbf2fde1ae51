// Tsearchmain: the page list's "&Export to HTML...": the page list as an HTML page in a
// file the user chooses.
#include <QDateTime>
#include <QLocale>
#include <optional>
#include <string>

#include "app/search_center.h"
#include "store/query_file.h"
#include "view/page_list_export.h"

namespace ferrowyn {

namespace {

constexpr char kNoUrls[] = "There are no URLs to save in the current site.";
constexpr char kExportFilter[] = "HTML Files |*.htm;*.html";
constexpr char kExportFailed[] = "There was an error while saving URL List.";
constexpr char kExported[] = "URL List saved successfully.";

// Now, as the user's short date and long time formats write it. The long time format's
// time zone is left out: a time of day on a page is read in the zone it was made in.
std::string NowText() {
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  QString time_format = locale.timeFormat(QLocale::LongFormat);
  time_format.remove(QLatin1Char('t'));
  time_format = time_format.trimmed();
  const QString text = locale.toString(now.date(), QLocale::ShortFormat) + " " +
                       locale.toString(now.time(), time_format);
  return text.toLatin1().toStdString();
}

}  // namespace

void Tsearchmain::SaveURLList1Click() {
  if (urllistview_->RowCount() == 0) return port_.Error(kNoUrls);
  FileDialogRequest request;
  request.mode = FileDialogRequest::kSave;
  request.title = "Save";
  request.filter = kExportFilter;
  request.initial_directory = live_.datadir;
  request.default_extension = ".htm";
  request.overwrite_prompt = true;
  const std::optional<std::string> chosen = port_.ChooseFile(request);
  if (!chosen) return;
  try {
    // A new file beside the old one, on disk before it is renamed over it; only a regular
    // file (or a link to one) is replaced.
    ReplaceFileWith(*chosen, MakePageListExport(state_.sitename, NowText(), urllistview_->Rows()));
  } catch (const std::exception&) {
    return port_.Error(kExportFailed);
  }
  port_.Information(kExported);
}

}  // namespace ferrowyn
