// Main of adpurge_tests: runs a child routine when asked to, otherwise the tests. In the POSIX
// build without ADPURGE_ROOT, the run gets a temporary root of its own, removed afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "adpurge/testing/child.h"

namespace {

// Removes a folder tree through the platform layer (links themselves, never their targets).
void remove_tree(const std::string& folder) {
  namespace p = adpurge::platform;
  if (auto entries = p::list_folder(folder)) {
    for (const auto& entry : *entries) {
      const std::string path = folder + "\\" + entry.name;
      p::set_attributes_normal(path);
      if (entry.is_folder && !entry.is_link) {
        remove_tree(path);
      } else if (entry.is_folder) {
        p::remove_folder(path);
      } else {
        p::delete_file(path);
      }
    }
  }
  p::remove_folder(folder);
}

}  // namespace

int main(int argc, char** argv) {
  if (auto code = adpurge::testing::run_child_if_asked(argc, argv)) return *code;
  std::string made_root;
#ifndef _WIN32
  if (const char* root = std::getenv("ADPURGE_ROOT"); root == nullptr || *root == '\0') {
    std::string pattern = (std::filesystem::temp_directory_path() / "adpurge-root-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 2;
    made_root = pattern;
    setenv("ADPURGE_ROOT", made_root.c_str(), 1);
  }
#endif
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  remove_tree(adpurge::testing::scratch_folder());
  if (!made_root.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(made_root, ignored);
  }
  return result;
}
