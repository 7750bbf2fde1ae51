// Base64 encoding for the HTTP client's basic authentication lines
// (RFC 1521: 76-character lines are not used here, trailing "=" padding is kept).
#pragma once

#include <string>
#include <string_view>

namespace ferrowyn {

// Encodes bytes as Base64 with "=" padding. Pure; safe on any thread.
std::string Base64Encode(std::string_view bytes);

}  // namespace ferrowyn
