#include "cli/GuideCommand.h"

#include <memory>

#include "guide/NowNextText.h"
#include "library/StationFiles.h"
#include "platform/posix/SystemClock.h"

namespace zelvo {

namespace {

std::vector<StationLine> readStations(TextFileService& files, const std::string& path) {
  std::vector<StationLine> stations;
  std::unique_ptr<TextReader> reader = files.openForReading(path);
  walkStationFile(linesOf(*reader), [&](StationLine station, size_t) {
    if (!isSeparatorRow(station)) stations.push_back(std::move(station));
  });
  reader->close();
  return stations;
}

}  // namespace

int runGuide(TextFileService& files, GuideReader& reader,
             const std::function<void()>& waitForEvents, const GuideCommandOptions& options,
             std::ostream& out, std::ostream& err) {
  const std::string path =
      options.appFolder + "/" + (options.stationFile.empty() ? kLibraryFile : options.stationFile);
  std::vector<StationLine> stations;
  try {
    if (!files.fileExists(path)) {
      err << "zelvo: no guide shown: there is no station file " << path << std::endl;
      return 1;
    }
    stations = readStations(files, path);
  } catch (const std::exception& failure) {
    err << "zelvo: no guide shown: " << failure.what() << std::endl;
    return 1;
  }

  const SystemClock systemClock;
  ProgrammeGuide guide(files, options.appFolder, options.clock ? *options.clock : systemClock);
  guide.useReader(&reader);
  bool finished = false;
  guide.onUpdated([&] { finished = true; });
  if (options.showProgress) guide.onProgress([&](const std::string& line) { err << line << "\n"; });
  if (!guide.refresh(stations)) {
    err << "zelvo: no guide shown: "
        << (stations.empty()
                ? "the station file " + path + " holds no station"
                : "no programme guide is known; list guide addresses in " + options.appFolder +
                      "/" + kUserGuidesFile + " or import a playlist that names one")
        << std::endl;
    return 1;
  }
  while (!finished) waitForEvents();
  guide.useReader(nullptr);

  const GuideReport& report = guide.report();
  for (const std::string& problem : report.problems) err << "zelvo: " << problem << "\n";
  if (report.sourcesRead == 0) {
    err << "zelvo: no programme guide could be read." << std::endl;
    return 1;
  }
  int shown = 0;
  for (const StationLine& station : stations) {
    if (!guide.channelFor(station.name, station.address)) continue;
    const std::string text = describeNowNext(guide.nowNext(station.name, station.address), "\t");
    out << station.name << "\t" << (text.empty() ? "没有正在播出或即将播出的节目" : text) << "\n";
    ++shown;
  }
  out << std::flush;
  err << "zelvo: " << shown << " of " << stations.size() << " stations found in the guide";
  if (report.skipped > 0) err << "; " << report.skipped << " guide entries were unreadable";
  err << "." << std::endl;
  return 0;
}

}  // namespace zelvo
