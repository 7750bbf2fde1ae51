// Text forms shared by the settings values: blanks trimming, with the whole numbers and
// the case-insensitive comparison (used by the file type list and the histories) that
// every layer shares.
#pragma once

#include <string>
#include <string_view>

#include "base/case_folding.h"
#include "base/whole_number.h"

namespace ferrowyn {

// Removes leading and trailing blanks and control characters (every byte up to
// and including the space). Pure; any thread.
std::string TrimBlanks(std::string_view text);

}  // namespace ferrowyn
