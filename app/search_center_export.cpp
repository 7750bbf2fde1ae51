// Tsearchmain: the page list's "&Export to HTML...": the page list as an HTML page in a
// file the user chooses.
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <optional>
#include <string>

#include "app/search_center.h"
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

// Replaces the file as a whole: a new file beside it, flushed to disk and renamed over
// it, so that a failure leaves the previous file as it was.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size())) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
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
  bool written = false;
  try {
    written = WriteWholeFile(*chosen,
                             MakePageListExport(state_.sitename, NowText(), urllistview_->Rows()));
  } catch (const std::exception&) {
    written = false;
  }
  if (!written) return port_.Error(kExportFailed);
  port_.Information(kExported);
}

}  // namespace ferrowyn
