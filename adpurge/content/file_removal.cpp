// File and folder deletion with retries.
#include "adpurge/content/file_removal.h"

#include <functional>
#include <optional>

#include "adpurge/platform/platform.h"

namespace adpurge {
namespace {

namespace pf = adpurge::platform;

constexpr int kAttempts = 5;

// Retries `remove` while it fails for another reason than the entry being gone.
bool Retrying(const std::function<pf::FileError()>& remove) {
  for (int attempt = 1;; ++attempt) {
    const pf::FileError error = remove();
    if (error == pf::FileError::kNone || error == pf::FileError::kNotFound) return true;
    if (attempt == kAttempts) return false;
    pf::sleep_ms(128 + (pf::tick_count() & 0x7F));
  }
}

bool RemoveFolderRetrying(const std::string& path) {
  return Retrying([&] { return pf::remove_folder(path); });
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// How the folder's parent lists it; nothing when the parent cannot tell.
std::optional<pf::FolderEntry> AsListed(const std::string& folder) {
  const std::size_t cut = folder.find_last_of('\\');
  if (cut == std::string::npos) return std::nullopt;
  auto entries = pf::list_folder(folder.substr(0, cut));
  if (!entries) return std::nullopt;
  const std::string name = folder.substr(cut + 1);
  const pf::FolderEntry* loose = nullptr;
  for (const auto& entry : *entries) {
    if (entry.name == name) return entry;
    if (!loose && SameNameNoCase(entry.name, name)) loose = &entry;
  }
  if (loose) return *loose;
  return std::nullopt;
}

void DeleteTreeBelow(const std::string& folder) {
  if (auto entries = pf::list_folder(folder)) {
    for (const auto& entry : *entries) {
      const std::string path = folder + "\\" + entry.name;
      if (entry.is_link) {
        // The link goes; what it points to is not ours.
        if (entry.is_folder) {
          RemoveFolderRetrying(path);
        } else {
          DeleteFileRetrying(path);
        }
      } else if (entry.is_folder) {
        pf::set_attributes_normal(path);
        DeleteTreeBelow(path);
      } else {
        pf::set_attributes_normal(path);
        DeleteFileRetrying(path);
      }
    }
  }
  pf::set_attributes_normal(folder);
  RemoveFolderRetrying(folder);
}

}  // namespace

bool DeleteFileRetrying(const std::string& path) {
  return Retrying([&] { return pf::delete_file(path); });
}

void DeleteFolderTree(const std::string& folder) {
  if (!pf::folder_exists(folder)) return;
  // Only a folder its parent shows as a real folder is entered: anything else might lead
  // somewhere that is not ours.
  const auto listed = AsListed(folder);
  if (!listed) return;
  if (listed->is_link) {
    RemoveFolderRetrying(folder);
  } else {
    DeleteTreeBelow(folder);
  }
}

}  // namespace adpurge
