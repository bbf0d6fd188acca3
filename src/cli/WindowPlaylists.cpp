#include "cli/WindowPlaylists.h"

#include "cli/PlaylistReport.h"

namespace zelvo {

std::vector<std::vector<PlaylistEntry>> readWindowPlaylists(const std::vector<std::string>& files,
                                                            std::ostream& err) {
  std::vector<std::vector<PlaylistEntry>> groups;
  for (const std::string& file : files) {
    try {
      Playlist playlist = readPlaylistFile(file);
      printProblems(file, playlist.problems, err);
      if (playlist.entries.empty()) err << "zelvo: " << file << ": no stations in it\n";
      groups.push_back(std::move(playlist.entries));
    } catch (const std::exception& failure) {
      err << "zelvo: " << failure.what() << "\n";
    }
  }
  err << std::flush;
  return groups;
}

}  // namespace zelvo
