#include "library/StationExport.h"

#include "formats/CounterTemplates.h"
#include "formats/PlaylistWriter.h"
#include "formats/StationAddress.h"

namespace zelvo {

ExportReport exportStationFile(TextFileService& files, const std::string& stationFilePath,
                               const std::string& playlistPath) {
  ExportReport report;
  std::vector<PlaylistEntry> entries;
  std::unique_ptr<TextReader> reader = files.openForReading(stationFilePath);
  walkStationFile(linesOf(*reader), [&](StationLine station, size_t) {
    if (isSeparatorRow(station)) return;
    if (isNumberedCounterTemplate(station.address)) {
      report.templates.push_back(std::move(station));
    } else if (!fitsM3uLine(addressUrl(station.address))) {
      report.unwritable.push_back(std::move(station));
    } else {
      entries.push_back({std::move(station.name), std::move(station.address), {}});
    }
  });
  reader->close();

  std::unique_ptr<TextWriter> writer = files.createTextFile(playlistPath);
  writer->writeBytes(writeExtendedM3u(entries));
  writer->close();
  report.written = static_cast<int>(entries.size());
  return report;
}

}  // namespace zelvo
