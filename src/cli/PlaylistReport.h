// Reading a playlist file for a command, and telling the user what of it could not be used.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "formats/Playlist.h"

namespace zelvo {

// The playlist at path, relative entries resolved against its folder. Fails (PlatformFailure)
// when the file cannot be read.
Playlist readPlaylistFile(const std::string& path);

// One line for each problem, at most a screenful of them, under a heading naming the file.
void printProblems(const std::string& path, const std::vector<PlaylistProblem>& problems,
                   std::ostream& out);

// Lines of text, at most a screenful of them, each indented under the heading.
void printList(const std::string& heading, const std::vector<std::string>& items,
               std::ostream& out);

}  // namespace zelvo
