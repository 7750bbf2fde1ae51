// QSettings behind the settings store, with a verbatim file format off Windows.
#include "app/settings_store.h"

#include <sys/stat.h>

#include <QIODevice>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <map>

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

// Section, then name, to value.
struct SettingsStore::MemoryValues {
  using Values = std::map<std::string, std::string, std::less<>>;
  std::map<std::string, Values, std::less<>> sections;
};

SettingsStore::SettingsStore() = default;

SettingsStore SettingsStore::InMemory() {
  SettingsStore store;
  store.memory_ = std::make_shared<MemoryValues>();
  return store;
}

SettingsStore::SettingsStore(std::string file_path) : file_path_(std::move(file_path)) {}

SettingsStore::Session SettingsStore::Open() const {
  if (memory_) return Session(memory_);
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

std::string SettingsStore::Location() const {
  if (memory_) return {};
  return Open().settings_->fileName().toStdString();
}

SettingsStore::Session::Session(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}
SettingsStore::Session::Session(std::shared_ptr<MemoryValues> memory)
    : memory_(std::move(memory)) {}
SettingsStore::Session::Session(Session&&) noexcept = default;
SettingsStore::Session& SettingsStore::Session::operator=(Session&&) noexcept = default;
SettingsStore::Session::~Session() = default;  // QSettings writes back on destruction

std::optional<std::string> SettingsStore::Session::Read(std::string_view section,
                                                        std::string_view name) const {
  if (memory_) {
    const auto section_values = memory_->sections.find(section);
    if (section_values == memory_->sections.end()) return std::nullopt;
    const auto value = section_values->second.find(name);
    if (value == section_values->second.end()) return std::nullopt;
    return value->second;
  }
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
  std::vector<std::string> names;
  if (memory_) {
    const auto section_values = memory_->sections.find(section);
    if (section_values != memory_->sections.end()) {
      for (const auto& entry : section_values->second) names.push_back(entry.first);
    }
  } else {
    settings_->beginGroup(ToQt(section));
    for (const QString& name : settings_->childKeys()) names.push_back(name.toStdString());
    settings_->endGroup();
  }
  std::vector<int> present;
  for (const std::string& name : names) {
    const std::optional<int> index = ReadWholeNumber(name);
    if (index && *index >= 0 && *index < count && std::to_string(*index) == name)
      present.push_back(*index);
  }
  std::sort(present.begin(), present.end());
  std::vector<std::string> items;
  for (int index : present) items.push_back(*Read(section, std::to_string(index)));
  return items;
}

void SettingsStore::Session::Write(std::string_view section, std::string_view name,
                                   std::string_view value) {
  if (memory_) {
    auto section_values = memory_->sections.find(section);
    if (section_values == memory_->sections.end())
      section_values =
          memory_->sections.emplace(std::string(section), MemoryValues::Values()).first;
    section_values->second.insert_or_assign(std::string(name), std::string(value));
    return;
  }
  settings_->setValue(KeyOf(section, name), ToQt(value));
  written_ = true;
}

void SettingsStore::Session::WriteInteger(std::string_view section, std::string_view name,
                                          int value) {
#ifdef Q_OS_WIN
  if (!memory_) {
    settings_->setValue(KeyOf(section, name), value);  // a 32-bit integer value in the registry
    written_ = true;
    return;
  }
#endif
  Write(section, name, std::to_string(value));
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
