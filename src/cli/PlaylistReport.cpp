#include "cli/PlaylistReport.h"

#include <filesystem>

#include "formats/PlaylistReader.h"
#include "platform/posix/PlaylistText.h"

namespace zelvo {

namespace {

constexpr size_t kShownLines = 20;

}  // namespace

Playlist readPlaylistFile(const std::string& path) {
  const std::string text = readPlaylistText(path);
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) absolute = path;
  return readPlaylist(text, absolute.parent_path().string());
}

void printList(const std::string& heading, const std::vector<std::string>& items,
               std::ostream& out) {
  if (items.empty()) return;
  out << heading << "\n";
  for (size_t i = 0; i < items.size() && i < kShownLines; ++i) out << "  " << items[i] << "\n";
  if (items.size() > kShownLines) out << "  ... and " << items.size() - kShownLines << " more\n";
}

void printProblems(const std::string& path, const std::vector<PlaylistProblem>& problems,
                   std::ostream& out) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < problems.size() && i < kShownLines; ++i)
    lines.push_back(describe(problems[i]));
  printList(path + ":", lines, out);
  if (problems.size() > kShownLines)
    out << "  ... and " << problems.size() - kShownLines << " more\n";
}

}  // namespace zelvo
