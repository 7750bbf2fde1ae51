// The registry of the Windows build. Every key is opened in the 32-bit view, where the ad
// client (a 32-bit program) keeps its keys, also when this program is built for 64 bits.
#include <windows.h>

#include <vector>

#include "adpurge/platform/platform.h"

namespace adpurge::platform {
namespace {

constexpr REGSAM kView = KEY_WOW64_32KEY;

HKEY root_key(RegRoot root) {
  return root == RegRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// An open key that closes itself.
class Key {
 public:
  Key(RegRoot root, const std::string& path, REGSAM access) {
    if (RegOpenKeyExA(root_key(root), path.c_str(), 0, access | kView, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool reg_key_exists(RegRoot root, const std::string& key) {
  return static_cast<bool>(Key(root, key, KEY_READ));
}

bool reg_create_key(RegRoot root, const std::string& key) {
  HKEY made = nullptr;
  if (RegCreateKeyExA(root_key(root), key.c_str(), 0, nullptr, 0, KEY_READ | kView, nullptr, &made,
                      nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(made);
  return true;
}

bool reg_delete_key(RegRoot root, const std::string& key) {
  return !key.empty() && RegDeleteKeyExA(root_key(root), key.c_str(), kView, 0) == ERROR_SUCCESS;
}

std::optional<std::string> reg_subkey(RegRoot root, const std::string& key, std::uint32_t index) {
  Key open(root, key, KEY_ENUMERATE_SUB_KEYS);
  if (!open) return std::nullopt;
  char name[256];
  DWORD length = sizeof name;
  if (RegEnumKeyExA(open.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::string(name, length);
}

std::uint32_t reg_count_subkeys(RegRoot root, const std::string& key) {
  Key open(root, key, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
  DWORD count = 0;
  if (!open || RegQueryInfoKeyA(open.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  return count;
}

bool reg_value_exists(RegRoot root, const std::string& key, const std::string& name) {
  Key open(root, key, KEY_QUERY_VALUE);
  return open && RegQueryValueExA(open.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                     ERROR_SUCCESS;
}

std::optional<std::string> reg_get_string(RegRoot root, const std::string& key,
                                          const std::string& name, std::size_t max_bytes) {
  Key open(root, key, KEY_QUERY_VALUE);
  if (!open || max_bytes == 0) return std::nullopt;
  std::vector<char> buffer(max_bytes + 1, '\0');
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(max_bytes);
  if (RegQueryValueExA(open.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  // A value stored without its terminator that fills the buffer would not fit with one.
  std::string value(buffer.data(), std::min<std::size_t>(size, max_bytes));
  value = value.substr(0, value.find('\0'));
  if (value.size() + 1 > max_bytes) return std::nullopt;
  return value;
}

bool reg_set_string(RegRoot root, const std::string& key, const std::string& name,
                    const std::string& value) {
  HKEY made = nullptr;
  if (RegCreateKeyExA(root_key(root), key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | kView, nullptr,
                      &made, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExA(made, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(made);
  return result == ERROR_SUCCESS;
}

bool reg_delete_value(RegRoot root, const std::string& key, const std::string& name) {
  Key open(root, key, KEY_SET_VALUE);
  return open && RegDeleteValueA(open.get(), name.c_str()) == ERROR_SUCCESS;
}

}  // namespace adpurge::platform
