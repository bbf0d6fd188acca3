#include "cli/WindowPlaylists.h"

#include <algorithm>

#include "cli/PlaylistReport.h"

namespace zelvo {

std::vector<std::vector<PlaylistEntry>> readWindowPlaylists(
    const std::vector<std::string>& files, std::ostream& err,
    std::vector<std::string>* guideAddresses) {
  std::vector<std::vector<PlaylistEntry>> groups;
  for (const std::string& file : files) {
    try {
      Playlist playlist = readPlaylistFile(file);
      printProblems(file, playlist.problems, err);
      if (playlist.entries.empty()) err << "zelvo: " << file << ": no stations in it\n";
      for (const std::string& address : playlist.guideAddresses) {
        if (guideAddresses && std::find(guideAddresses->begin(), guideAddresses->end(), address) ==
                                  guideAddresses->end())
          guideAddresses->push_back(address);
      }
      groups.push_back(std::move(playlist.entries));
    } catch (const std::exception& failure) {
      err << "zelvo: " << failure.what() << "\n";
    }
  }
  err << std::flush;
  return groups;
}

}  // namespace zelvo
