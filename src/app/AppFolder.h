// Where the station and position files live: beside the program, or, when that folder is not
// writable (an installed program), in a per-user folder seeded once from the shipped files.
#pragma once

#include <string>

namespace zelvo {

// The application folder, cleared of the temporary files that writers killed on an earlier
// run left behind.
std::string resolveAppFolder(const std::string& programFolder);

// Whether a file can really be created in folder: write permission alone says nothing for
// root, a read-only mount or an immutable folder.
bool canCreateFilesIn(const std::string& folder);

// Copies the shipped station files that userFolder does not have yet, and makes its temp folder.
void seedUserFolder(const std::string& shippedFolder, const std::string& userFolder);

}  // namespace zelvo
