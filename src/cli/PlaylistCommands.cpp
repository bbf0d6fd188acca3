#include "cli/PlaylistCommands.h"

#include <algorithm>
#include <filesystem>

#include "cli/PlaylistReport.h"
#include "guide/GuideFiles.h"
#include "library/LibraryMerge.h"
#include "library/StationExport.h"
#include "library/StationFiles.h"
#include "platform/ComboBox.h"

namespace zelvo {

namespace {

std::string plural(size_t count, const std::string& word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::vector<std::string> asLines(const std::vector<StationLine>& stations) {
  std::vector<std::string> lines;
  for (const StationLine& station : stations) lines.push_back(station.name + "," + station.address);
  return lines;
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

}  // namespace

int runImport(TextFileService& files, const std::string& playlistPath, const std::string& appFolder,
              std::ostream& out, std::ostream& err) {
  const std::string libraryPath = appFolder + "/" + kLibraryFile;
  Playlist playlist;
  MergeReport report;
  try {
    playlist = readPlaylistFile(playlistPath);
    report = mergeIntoLibrary(files, libraryPath, playlist.entries);
  } catch (const std::exception& failure) {
    err << "zelvo: nothing imported: " << failure.what() << std::endl;
    return 1;
  }
  out << "Added " << plural(report.added, "station") << " to " << libraryPath << "; skipped "
      << report.alreadyThere << " already there";
  const auto skipped =
      std::count_if(playlist.problems.begin(), playlist.problems.end(), skipsEntry);
  if (skipped > 0) out << " and " << skipped << " not usable";
  out << ".\n";
  printProblems(playlistPath, playlist.problems, out);
  printList("Skipped, a station file cannot hold these addresses:", report.addressesNotStorable,
            out);
  printList("Stored with \"?\" for what a station file cannot hold:", report.namesLosingCharacters,
            out);
  if (report.stationsInLibrary > kMaxListRows)
    out << "The library holds " << report.stationsInLibrary << " stations; the station list shows "
        << "the first " << kMaxListRows << ".\n";
  out << std::flush;
  // The stations are in; what the guide needs of them is kept beside the library.
  try {
    const GuideTagsRecorded tagged =
        recordGuideTags(files, appFolder + "/" + kGuideMapFile, playlist.entries);
    const int guides =
        recordGuideSources(files, appFolder + "/" + kGuideSourcesFile, playlist.guideAddresses);
    if (tagged.changed > 0)
      out << "Recorded the guide tags of " << plural(tagged.changed, "station") << ".\n";
    if (tagged.grouped > 0)
      out << "Recorded the groups of " << plural(tagged.grouped, "station") << ".\n";
    printList(std::string("Not recorded for the guide, values too long for a line of ") +
                  kGuideMapFile + ":",
              tagged.refused, out);
    if (guides > 0) out << "Recorded " << plural(guides, "programme guide") << ".\n";
  } catch (const std::exception& failure) {
    err << "zelvo: the stations were added, but their programme guide details were not "
           "recorded: "
        << failure.what() << std::endl;
    return 1;
  }
  out << std::flush;
  return 0;
}

int runExport(TextFileService& files, const std::string& playlistPath,
              const std::string& stationFile, const std::string& appFolder, std::ostream& out,
              std::ostream& err) {
  const std::string source = appFolder + "/" + (stationFile.empty() ? kLibraryFile : stationFile);
  if (!files.fileExists(source)) {
    err << "zelvo: nothing exported: there is no station file " << source << std::endl;
    return 1;
  }
  if (sameFile(source, playlistPath)) {
    err << "zelvo: nothing exported: " << playlistPath << " is the station file itself"
        << std::endl;
    return 1;
  }
  ExportReport report;
  try {
    report = exportStationFile(files, source, playlistPath);
  } catch (const std::exception& failure) {
    err << "zelvo: nothing exported: " << failure.what() << std::endl;
    return 1;
  }
  out << "Wrote " << plural(report.written, "station") << " of " << source << " to " << playlistPath
      << ".\n";
  printList("Left out, counter templates (a numbered series that only Zelvo plays):",
            asLines(report.templates), out);
  printList("Left out, addresses that cannot stand on a playlist line:", asLines(report.unwritable),
            out);
  out << std::flush;
  return 0;
}

}  // namespace zelvo
