// The two registry roots of the POSIX build as folder trees under <root>/registry: a key is a
// folder, a string value a file holding its bytes. Names are found without regard to ASCII
// case and keep the case they were created with; a value and a subkey of one name cannot
// both exist.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "adpurge/platform/platform.h"
#include "adpurge/platform/posix/root.h"

namespace adpurge::platform {
namespace {

bool same_blind(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c;
    };
    return lower(x) == lower(y);
  });
}

// A name that stays one entry of its folder.
bool usable_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::vector<std::string> entries(const std::string& dir, bool folders) {
  std::vector<std::string> found;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return found;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (lstat((dir + "/" + name).c_str(), &info) != 0) continue;
    if (folders ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode)) found.push_back(name);
  }
  closedir(d);
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c | 0x20 : c; };
      return lower(x) < lower(y);
    });
  });
  return found;
}

// The entry of `dir` called `name` without regard to case (a folder or a file as asked).
std::optional<std::string> find_entry(const std::string& dir, const std::string& name,
                                      bool folder) {
  for (const auto& entry : entries(dir, folder))
    if (same_blind(entry, name)) return dir + "/" + entry;
  return std::nullopt;
}

std::optional<std::string> root_folder(RegRoot root, bool create) {
  const std::string& base = posix::root();
  if (base.empty()) return std::nullopt;
  const std::string registry = base + "/registry";
  const std::string folder = registry + (root == RegRoot::kLocalMachine ? "/HKLM" : "/HKCU");
  if (create) {
    mkdir(registry.c_str(), 0777);
    mkdir(folder.c_str(), 0777);
  }
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return folder;
}

// The folder of a key; with `create`, missing keys of the path are made.
std::optional<std::string> key_folder(RegRoot root, const std::string& key, bool create) {
  auto folder = root_folder(root, create);
  if (!folder) return std::nullopt;
  if (key.empty()) return folder;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find('\\', start);
    if (end == std::string::npos) end = key.size();
    const std::string part = key.substr(start, end - start);
    if (!usable_name(part)) return std::nullopt;
    auto next = find_entry(*folder, part, true);
    if (!next) {
      if (!create || find_entry(*folder, part, false)) return std::nullopt;
      const std::string made = *folder + "/" + part;
      if (mkdir(made.c_str(), 0777) != 0) return std::nullopt;
      next = made;
    }
    folder = next;
    start = end + 1;
  }
  return folder;
}

}  // namespace

bool reg_key_exists(RegRoot root, const std::string& key) {
  return key_folder(root, key, false).has_value();
}

bool reg_create_key(RegRoot root, const std::string& key) {
  return key_folder(root, key, true).has_value();
}

bool reg_delete_key(RegRoot root, const std::string& key) {
  if (key.empty()) return false;
  const auto folder = key_folder(root, key, false);
  if (!folder || !entries(*folder, true).empty()) return false;
  for (const auto& value : entries(*folder, false)) unlink((*folder + "/" + value).c_str());
  return rmdir(folder->c_str()) == 0;
}

std::optional<std::string> reg_subkey(RegRoot root, const std::string& key, std::uint32_t index) {
  const auto folder = key_folder(root, key, false);
  if (!folder) return std::nullopt;
  const auto names = entries(*folder, true);
  if (index >= names.size()) return std::nullopt;
  return names[index];
}

std::uint32_t reg_count_subkeys(RegRoot root, const std::string& key) {
  const auto folder = key_folder(root, key, false);
  return folder ? static_cast<std::uint32_t>(entries(*folder, true).size()) : 0;
}

bool reg_value_exists(RegRoot root, const std::string& key, const std::string& name) {
  const auto folder = key_folder(root, key, false);
  return folder && usable_name(name) && find_entry(*folder, name, false).has_value();
}

std::optional<std::string> reg_get_string(RegRoot root, const std::string& key,
                                          const std::string& name, std::size_t max_bytes) {
  const auto folder = key_folder(root, key, false);
  if (!folder || !usable_name(name)) return std::nullopt;
  const auto file = find_entry(*folder, name, false);
  if (!file) return std::nullopt;
  std::ifstream in(*file, std::ios::binary);
  std::string value((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.eof() && in.fail()) return std::nullopt;
  value = value.substr(0, value.find('\0'));
  if (value.size() + 1 > max_bytes) return std::nullopt;
  return value;
}

bool reg_set_string(RegRoot root, const std::string& key, const std::string& name,
                    const std::string& value) {
  const auto folder = key_folder(root, key, true);
  if (!folder || !usable_name(name) || find_entry(*folder, name, true)) return false;
  const std::string file = find_entry(*folder, name, false).value_or(*folder + "/" + name);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(value.data(), static_cast<std::streamsize>(value.size()));
  out.close();
  return !out.fail();
}

bool reg_delete_value(RegRoot root, const std::string& key, const std::string& name) {
  const auto folder = key_folder(root, key, false);
  if (!folder || !usable_name(name)) return false;
  const auto file = find_entry(*folder, name, false);
  return file && unlink(file->c_str()) == 0;
}

}  // namespace adpurge::platform
