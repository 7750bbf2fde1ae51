// QSettings behind the settings store, with a verbatim file format off Windows.
#include "app/settings_store.h"

#include <sys/stat.h>

#include <QIODevice>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>

#include "app/settings_file_format.h"
#include "app/text_forms.h"

namespace ferrowyn {

namespace {
constexpr char kOrganisation[] = "Castrel";
constexpr char kApplication[] = "Ferrowyn";

// Values are 8-bit text; QString carries them as Latin-1, the file as UTF-8.
QString ToQt(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
std::string FromQt(const QString& text) { return text.toLatin1().toStdString(); }

QString KeyOf(std::string_view section, std::string_view name) {
  return ToQt(section) + QLatin1Char('/') + ToQt(name);
}

bool ReadVerbatim(QIODevice& device, QSettings::SettingsMap& map) {
  const QByteArray bytes = device.readAll();
  for (const auto& entry : ParseSettingsText(std::string_view(bytes.constData(), bytes.size()))) {
    const QString section = QString::fromStdString(entry.section);
    const QString name = QString::fromStdString(entry.name);
    map.insert(section.isEmpty() ? name : section + QLatin1Char('/') + name,
               QString::fromStdString(entry.value));
  }
  return true;
}

bool WriteVerbatim(QIODevice& device, const QSettings::SettingsMap& map) {
  std::vector<SettingsEntry> entries;
  for (auto it = map.cbegin(); it != map.cend(); ++it) {
    const QString& key = it.key();
    const qsizetype slash = key.lastIndexOf(QLatin1Char('/'));
    entries.push_back({slash < 0 ? std::string() : key.left(slash).toStdString(),
                       key.mid(slash + 1).toStdString(), it.value().toString().toStdString()});
  }
  const std::string text = FormatSettingsText(entries);
  return device.write(text.data(), static_cast<qint64>(text.size())) ==
         static_cast<qint64>(text.size());
}

#ifndef Q_OS_WIN
// Where QSettings keeps the per-user store off Windows.
std::string UserFilePath() {
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
          QLatin1Char('/') + QLatin1String(kOrganisation) + QLatin1Char('/') +
          QLatin1String(kApplication) + QLatin1String(".ini"))
      .toStdString();
}
#endif

QSettings::Format FileFormat() {
#ifdef Q_OS_WIN
  return QSettings::NativeFormat;
#else
  static const QSettings::Format format =
      QSettings::registerFormat("ini", ReadVerbatim, WriteVerbatim);
  return format;
#endif
}
}  // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(std::string file_path) : file_path_(std::move(file_path)) {}

SettingsStore::Session SettingsStore::Open() const {
#ifndef Q_OS_WIN
  // QSettings reads its file as it is made: a FIFO there would hold it for ever, and a
  // write would rename a new file over a device.
  const std::string path = file_path_.empty() ? UserFilePath() : file_path_;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 ? !S_ISREG(st.st_mode) : errno == ELOOP) {
    throw ESettingsError("The settings file \"" + path + "\" is not a regular file.");
  }
#endif
  std::unique_ptr<QSettings> settings;
  if (file_path_.empty()) {
    settings = std::make_unique<QSettings>(FileFormat(), QSettings::UserScope, kOrganisation,
                                           kApplication);
  } else {
    settings = std::make_unique<QSettings>(QString::fromStdString(file_path_), FileFormat());
  }
  // Only the user's own store counts; system-wide fallbacks would let values
  // appear that the user never wrote.
  settings->setFallbacksEnabled(false);
  return Session(std::move(settings));
}

std::string SettingsStore::Location() const { return Open().settings_->fileName().toStdString(); }

SettingsStore::Session::Session(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}
SettingsStore::Session::Session(Session&&) noexcept = default;
SettingsStore::Session& SettingsStore::Session::operator=(Session&&) noexcept = default;
SettingsStore::Session::~Session() = default;  // QSettings writes back on destruction

std::optional<std::string> SettingsStore::Session::Read(std::string_view section,
                                                        std::string_view name) const {
  const QVariant value = settings_->value(KeyOf(section, name));
  if (!value.isValid()) return std::nullopt;
  return FromQt(value.toString());
}

std::optional<int> SettingsStore::Session::ReadInteger(std::string_view section,
                                                       std::string_view name) const {
  const std::optional<std::string> text = Read(section, name);
  if (!text) return std::nullopt;
  return ReadWholeNumber(*text);
}

std::vector<std::string> SettingsStore::Session::ReadList(std::string_view section) const {
  const int count = ReadInteger(section, "Count").value_or(0);
  // Walk the items that exist rather than 0 .. Count - 1, so that a damaged
  // "Count" of two billion costs nothing.
  std::vector<int> present;
  settings_->beginGroup(ToQt(section));
  const QStringList names = settings_->childKeys();
  settings_->endGroup();
  for (const QString& name : names) {
    const std::optional<int> index = ReadWholeNumber(name.toStdString());
    if (index && *index >= 0 && *index < count && std::to_string(*index) == name.toStdString())
      present.push_back(*index);
  }
  std::sort(present.begin(), present.end());
  std::vector<std::string> items;
  for (int index : present) items.push_back(*Read(section, std::to_string(index)));
  return items;
}

void SettingsStore::Session::Write(std::string_view section, std::string_view name,
                                   std::string_view value) {
  settings_->setValue(KeyOf(section, name), ToQt(value));
  written_ = true;
}

void SettingsStore::Session::WriteInteger(std::string_view section, std::string_view name,
                                          int value) {
#ifdef Q_OS_WIN
  settings_->setValue(KeyOf(section, name), value);  // a 32-bit integer value in the registry
  written_ = true;
#else
  Write(section, name, std::to_string(value));
#endif
}

void SettingsStore::Session::WriteList(std::string_view section,
                                       const std::vector<std::string>& items) {
  Write(section, "Count", std::to_string(items.size()));
  for (size_t i = 0; i < items.size(); ++i) Write(section, std::to_string(i), items[i]);
}

void SettingsStore::Session::Close() {
  if (!written_) return;
  settings_->sync();
  written_ = false;
  if (settings_->status() != QSettings::NoError) {
    throw ESettingsError("The settings could not be written to \"" +
                         settings_->fileName().toStdString() + "\".");
  }
}

std::optional<std::string> SettingsStore::Read(std::string_view section,
                                               std::string_view name) const {
  return Open().Read(section, name);
}

std::optional<int> SettingsStore::ReadInteger(std::string_view section,
                                              std::string_view name) const {
  return Open().ReadInteger(section, name);
}

std::vector<std::string> SettingsStore::ReadList(std::string_view section) const {
  return Open().ReadList(section);
}

void SettingsStore::Write(std::string_view section, std::string_view name,
                          std::string_view value) const {
  Session session = Open();
  session.Write(section, name, value);
  session.Close();
}

void SettingsStore::WriteInteger(std::string_view section, std::string_view name, int value) const {
  Session session = Open();
  session.WriteInteger(section, name, value);
  session.Close();
}

void SettingsStore::WriteList(std::string_view section,
                              const std::vector<std::string>& items) const {
  Session session = Open();
  session.WriteList(section, items);
  session.Close();
}

}  // namespace ferrowyn
