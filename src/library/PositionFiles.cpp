#include "library/PositionFiles.h"

#include <cmath>
#include <limits>

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "formats/TextCase.h"
#include "formats/TextRules.h"
#include "library/StationList.h"
#include "platform/Steps.h"

namespace zelvo {

void PositionFiles::LoadPlayPosition() {
  std::unique_ptr<TextReader> reader;
  if (!step([&] { reader = x_.p.files.openForReading(x_.p.pathOf(kPlayPositionFile)); })) return;
  step([&] { reader->readLine(); });
  step([&] {
    auto value = parseNumber(reader->readLine());
    if (!value) return;
    double rounded = roundHalfEven(*value);
    if (rounded < std::numeric_limits<int32_t>::min() ||
        rounded > std::numeric_limits<int32_t>::max())
      return;
    x_.s.stationPosition = static_cast<int32_t>(rounded);
  });
  step([&] { reader->close(); });
}

void PositionFiles::SavePlayPosition(int32_t position) {
  savePosition(kPlayPositionFile, position);
}

void PositionFiles::SaveScanPosition(int32_t position) {
  savePosition(kScanPositionFile, position);
}

void PositionFiles::savePosition(const char* fileName, int32_t position) {
  const PlayerKind kind = x_.s.playerKind;
  if (kind == PlayerKind::None) return;
  step([&] {
    auto writer = x_.p.files.createTextFile(x_.p.pathOf(fileName));
    writer->writeLine(playerKindText(kind));
    writer->writeLine(std::to_string(position));
    writer->close();
  });
}

void PositionFiles::LoadTempPlaylists() {
  std::vector<FolderEntry> entries;
  if (!step([&] { entries = x_.p.files.listFiles(x_.p.pathOf(kTempFolder)); })) return;
  for (const FolderEntry& entry : entries) {
    if (entry.name.size() < 4) continue;
    std::string extension = toLowerAscii(entry.name.substr(entry.name.size() - 4));
    if (extension != ".asx" && extension != ".htm") continue;
    step([&] { addStationRow(x_.c, entry.name.substr(0, entry.name.size() - 4), entry.path, -1); });
  }
}

}  // namespace zelvo
