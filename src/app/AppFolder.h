// Where the station and position files live: beside the program, or, when that folder is not
// writable (an installed program), in a per-user folder seeded once from the shipped files.
#pragma once

#include <string>

namespace zelvo {

std::string resolveAppFolder(const std::string& programFolder);

// Copies the shipped station files that userFolder does not have yet, and makes its temp folder.
void seedUserFolder(const std::string& shippedFolder, const std::string& userFolder);

}  // namespace zelvo
