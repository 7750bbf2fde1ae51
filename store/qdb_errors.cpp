// Message building for the record store's exceptions: which text a platform
// error number maps to.
#include "store/qdb_errors.h"

#include <cerrno>

namespace ferrowyn {

std::string QDBMessage(std::string_view pattern, std::string_view name) {
  std::string text(pattern);
  const auto at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, name);
  return text;
}

EQDBFileError QDBFileError(int err, std::string_view store_name) {
  using namespace qdb_text;
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return EQDBFileError(QDBMessage(kNotFound, store_name));
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
      return EQDBFileError(std::string(kNotReady));
    case EMFILE:
    case ENFILE:
      return EQDBFileError(std::string(kNoHandles));
    case EACCES:
    case EPERM:
    case EBUSY:
    case ETXTBSY:
    case EROFS:
    case EAGAIN:
      return EQDBFileError(QDBMessage(kInUse, store_name));
    case ENOSPC:
    case EDQUOT:
      return EQDBFileError(std::string(kDriveFull));
    default:
      return EQDBFileError(QDBMessage(kUnidentified, std::to_string(err)));
  }
}

}  // namespace ferrowyn
