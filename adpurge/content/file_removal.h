// Deleting files and whole folders the way the ad client's tools do: attributes reset
// first, and each deletion tried again after a short pause while another process still
// holds the file. Failures are not reported. Waits go through the platform clock.
#pragma once

#include <string>

namespace adpurge {

// Deletes one file, trying up to 5 times with 128 to 255 ms between attempts. True when
// the file is gone (a missing file counts as gone).
bool DeleteFileRetrying(const std::string& path);

// Deletes the folder with everything in it; nothing happens when it does not exist. A
// link or junction, whether the folder itself or anything inside it, is removed itself and
// never entered, so its target stays untouched.
void DeleteFolderTree(const std::string& folder);

}  // namespace adpurge
