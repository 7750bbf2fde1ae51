// Fuzz target for the reference file: the input is the file, which is counted, totalled and
// changed. A change may only succeed on a file whose entries it could read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "adpurge/content/reference_file.h"
#include "adpurge/platform/platform.h"

#if !defined(_WIN32)
#include <unistd.h>

#include <filesystem>
#endif

namespace {

namespace pf = adpurge::platform;

const std::string& File() {
  static const std::string file = [] {
#if !defined(_WIN32)
    if (!std::getenv("ADPURGE_ROOT")) {
      static char root[] = "/tmp/adpurge-rc-fuzz-XXXXXX";
      if (mkdtemp(root)) {
        setenv("ADPURGE_ROOT", root, 1);
        std::atexit([] { std::filesystem::remove_all(root); });
      }
    }
#endif
    pf::create_folder("C:\\");
    pf::create_folder("C:\\fuzz");
    return std::string("C:\\fuzz\\rc");
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using adpurge::ReferenceKind;
  const std::string& rc = File();
  {
    auto opened = pf::open_file(rc, pf::kWrite, pf::kShareNone, pf::Disposition::kCreateAlways);
    if (!opened.file.valid() || !opened.file.write_at(0, data, size) || !opened.file.close()) {
      return 0;
    }
  }
  const auto total = adpurge::ReferenceTotal(rc);
  const auto count = adpurge::ReferenceCount(rc, 1, ReferenceKind::kPieces);
  const auto changed = adpurge::ChangeReference(rc, -1, 1, ReferenceKind::kPieces);
  if (total.has_value() != count.has_value() || changed.has_value() != count.has_value()) {
    std::abort();
  }
  if (changed && *changed != (*count > 0 ? *count - 1 : 0)) std::abort();
  return 0;
}
