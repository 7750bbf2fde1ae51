// The record store's exceptions and the exact texts they carry. Every text that
// names a store holds the store's full file name in place of "%s".
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ferrowyn {

// Base of every failure the record store raises.
class EQDBError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Refusals that concern the index (callers that tolerate a refused addition catch this).
class EQDBIndexError : public EQDBError {
 public:
  using EQDBError::EQDBError;
};
class EQDBNoFile : public EQDBIndexError {
 public:
  using EQDBIndexError::EQDBIndexError;
};
class EQDBNoData : public EQDBIndexError {
 public:
  using EQDBIndexError::EQDBIndexError;
};
class EQDBOutOfBounds : public EQDBIndexError {
 public:
  using EQDBIndexError::EQDBIndexError;
};
class EQDBReadOnly : public EQDBIndexError {
 public:
  using EQDBIndexError::EQDBIndexError;
};
class EQDBFileError : public EQDBError {
 public:
  using EQDBError::EQDBError;
};
class EQDBInvalidPW : public EQDBError {
 public:
  using EQDBError::EQDBError;
};
class EQDBNoCompress : public EQDBError {
 public:
  using EQDBError::EQDBError;
};
class EQDBListError : public EQDBError {
 public:
  using EQDBError::EQDBError;
};

namespace qdb_text {
inline constexpr std::string_view kNoFile = "Illegal operation - no file assigned";
inline constexpr std::string_view kNoData = "File %s is empty";
inline constexpr std::string_view kOutOfBounds = "The list index is out of bounds";
inline constexpr std::string_view kReadOnly = "%s is marked as read-only";
inline constexpr std::string_view kDuplicate = "Duplicate keys are not allowed";
inline constexpr std::string_view kNoMemoryIndex = "Not enough memory to extend the index to %s";
inline constexpr std::string_view kInvalidFile = "The file %s is not a valid QDB file";
inline constexpr std::string_view kInvalidPassword = "The password you have provided is invalid";
inline constexpr std::string_view kNoCompress = "Insufficient memory to compress or expand";
inline constexpr std::string_view kNoTempFile = "Could not create a necessary temporary file";
inline constexpr std::string_view kNotFound = "Could not find the file %s";
inline constexpr std::string_view kNotReady = "The drive you are trying to access is not ready";
inline constexpr std::string_view kNoHandles = "No more file handles are available";
inline constexpr std::string_view kInUse = "The file %s seems to be in use by another program";
inline constexpr std::string_view kDriveFull = "The drive is full";
// Two blanks before the platform's error number.
inline constexpr std::string_view kUnidentified = "Unidentified problem -  %s";
}  // namespace qdb_text

// Puts `name` in place of the first "%s" of `pattern`.
std::string QDBMessage(std::string_view pattern, std::string_view name);

// The EQDBFileError for a failed file operation: its text is chosen by the
// platform error number `err` (errno) and names `store_name`.
EQDBFileError QDBFileError(int err, std::string_view store_name);

}  // namespace ferrowyn
