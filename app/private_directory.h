// Scratch directories named after the process that owns them, so that a later start can
// tell one left behind by a process that was killed or crashed, and remove it.
#pragma once

#include <string>
#include <utility>

namespace ferrowyn {

// Makes "PARENT/PREFIX-PID-XXXXXX" (mode 0700; PID this process's id, XXXXXX unique) and
// returns its path. Throws std::system_error when it cannot be made. Any thread.
std::string MakePrivateDirectory(const std::string& parent, const std::string& prefix);

// Removes, with everything in it, each "PARENT/PREFIX-PID-..." whose process no longer
// exists. Only real directories owned by this user are touched (never a link, never another
// user's); a directory of a live process, or of one that cannot be told, stays. Failures are
// ignored. Any thread.
void RemoveStalePrivateDirectories(const std::string& parent, const std::string& prefix);

// Holds a private directory and removes it, with everything in it, on destruction (or when
// another is assigned). Empty by default.
class OwnedDirectory {
 public:
  OwnedDirectory() = default;
  explicit OwnedDirectory(std::string path) : path_(std::move(path)) {}
  OwnedDirectory(OwnedDirectory&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
  }
  OwnedDirectory& operator=(OwnedDirectory&& other) noexcept;
  ~OwnedDirectory() { Remove(); }

  const std::string& path() const { return path_; }

 private:
  void Remove() noexcept;
  std::string path_;
};

}  // namespace ferrowyn
