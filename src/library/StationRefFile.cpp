#include "library/StationRefFile.h"

#include <memory>
#include <string_view>

#include "formats/StationLines.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {
// What the GBK reader gives for bytes that are no character.
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
}  // namespace

bool fitsStationRefFile(const StationRef& station) {
  return !station.name.empty() && !station.address.empty() &&
         station.name.find_first_of(",\r\n") == std::string::npos &&
         station.address.find_first_of("\r\n") == std::string::npos;
}

StationRefFile readStationRefFile(TextFileService& files, const std::string& path) {
  StationRefFile file;
  if (!files.fileExists(path)) return file;
  std::unique_ptr<TextReader> reader = files.openForReading(path);
  // A read that fails part-way keeps what came before it.
  file.complete = step([&] {
    while (!reader->atEndOfStream()) {
      FileLine line = reader->readLineAndBytes();
      if (line.bytes.find_first_not_of(" \t") == std::string::npos) continue;
      const auto station = line.text.find(kReplacementCharacter) == std::string::npos
                               ? readNameAddressLine(line.text)
                               : std::nullopt;
      if (station)
        file.stations.push_back({station->name, station->address});
      else
        file.unreadLines.push_back(std::move(line.bytes));
    }
  });
  step([&] { reader->close(); });
  return file;
}

void writeStationRefFile(TextFileService& files, const std::string& path,
                         const std::vector<StationRef>& stations,
                         const std::vector<std::string>& unreadLines) {
  std::unique_ptr<TextWriter> writer = files.createTextFile(path);
  for (const StationRef& station : stations)
    writer->writeLine(station.name + "," + station.address);
  for (const std::string& bytes : unreadLines) writer->writeBytesLine(bytes);
  writer->close();
}

}  // namespace zelvo
