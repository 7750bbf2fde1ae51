// Where an ad's shared content lives under the ads folder: its folder, the frame and
// piece files, and the reference file. Names are Windows paths, as the client writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace adpurge {

// ads folder + "\" + the ad number in decimal.
std::string ContentFolder(std::string_view ads_folder, std::uint32_t ad_number);

// "%s\%d\%02x.%03x": frame number from 1, content version B.
std::string FrameFileName(std::string_view ads_folder, std::uint32_t ad_number, int frame,
                          std::uint32_t version_b);

// "%s\%d\%02x%02x%04x.%03x": part code taken as a signed byte (so 0x80 and up print as
// eight digits), frame number from 1, piece number from 1, content version A.
std::string PieceFileName(std::string_view ads_folder, std::uint32_t ad_number,
                          std::uint8_t part_code, int frame, int piece, std::uint32_t version_a);

// "%s\%d\rc".
std::string ReferenceFileName(std::string_view ads_folder, std::uint32_t ad_number);

}  // namespace adpurge
