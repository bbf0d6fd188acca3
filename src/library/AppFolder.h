// Where the station and position files live: beside the program, or, for an installed program
// or one whose folder is not writable, in a per-user folder seeded once from the shipped files.
#pragma once

#include <string>

namespace zelvo {

// The application folder, cleared of the temporary files that writers killed on an earlier
// run left behind. An installed program (its shipped files in share/zelvo/shipped beside its
// bin folder) always keeps its files in the per-user folder, even when it could write its own.
std::string resolveAppFolder(const std::string& programFolder);

// Whether a file can really be created in folder: write permission alone says nothing for
// root, a read-only mount or an immutable folder.
bool canCreateFilesIn(const std::string& folder);

// Copies the shipped station files that userFolder does not have yet, and makes its temp folder.
void seedUserFolder(const std::string& shippedFolder, const std::string& userFolder);

}  // namespace zelvo
