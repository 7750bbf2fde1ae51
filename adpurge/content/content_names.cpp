// The client's printf forms for content file names, kept literally so that the names
// match the files the client wrote (negative numbers included).
#include "adpurge/content/content_names.h"

#include <cstdio>

namespace adpurge {
// The ad number is printed as the client's signed int.
std::string ContentFolder(std::string_view ads_folder, std::uint32_t ad_number) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", static_cast<int>(ad_number));
  std::string out(ads_folder);
  out += '\\';
  out += number;
  return out;
}

std::string FrameFileName(std::string_view ads_folder, std::uint32_t ad_number, int frame,
                          std::uint32_t version_b) {
  char name[32];
  std::snprintf(name, sizeof name, "\\%02x.%03x", static_cast<unsigned>(frame),
                static_cast<unsigned>(version_b));
  return ContentFolder(ads_folder, ad_number) + name;
}

std::string PieceFileName(std::string_view ads_folder, std::uint32_t ad_number,
                          std::uint8_t part_code, int frame, int piece, std::uint32_t version_a) {
  char name[64];
  const int code = static_cast<std::int8_t>(part_code);
  std::snprintf(name, sizeof name, "\\%02x%02x%04x.%03x", static_cast<unsigned>(code),
                static_cast<unsigned>(frame), static_cast<unsigned>(piece),
                static_cast<unsigned>(version_a));
  return ContentFolder(ads_folder, ad_number) + name;
}

std::string ReferenceFileName(std::string_view ads_folder, std::uint32_t ad_number) {
  return ContentFolder(ads_folder, ad_number) + "\\rc";
}

}  // namespace adpurge
