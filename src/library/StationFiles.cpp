#include "library/StationFiles.h"

#include <algorithm>

#include "form/FormControls.h"
#include "formats/StationLines.h"
#include "formats/TextRules.h"
#include "library/StationList.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {
constexpr long kChancesPerYield = 64;
}  // namespace

void StationFiles::LoadStationFile(const std::string& fileName) {
  FormControls& c = x_.c;
  std::unique_ptr<TextWriter> echo;
  std::unique_ptr<TextReader> reader;
  step([&] { echo = x_.p.files.createTextFile(x_.p.pathOf(kLoadEchoFile)); });
  step([&] { reader = x_.p.files.openForReading(x_.p.pathOf(fileName)); });

  int n = stationRowCount(c);
  if (n > 0) {
    step([&] { addStationRow(c, kSeparatorRow, kSeparatorRow, n); });
    n = n + 1;
  }

  // Pending events may run once per line and once per tab replaced. A yield costs far more than
  // a line, so only every kChancesPerYield-th chance is taken (the first one always): handlers
  // still run within a fraction of a millisecond. Once the process is ending, loading stops.
  long chances = 0;
  auto yieldAndGoOn = [&] {
    if (chances++ % kChancesPerYield != 0) return true;
    x_.p.loop.processPendingEvents();
    return !x_.p.process.ending();
  };

  while (reader) {
    if (!yieldAndGoOn()) break;
    std::string line;
    if (!step([&] { line = reader->readLine(); })) break;
    bool goOn = true;
    for (char& ch : line) {
      if (ch != '\t') continue;
      ch = ' ';
      goOn = goOn && yieldAndGoOn();
    }
    if (!goOn || isEndMarker(line)) break;

    if (auto station = readStationLine(line)) {
      // Handlers that ran during the yields may have emptied the list under us.
      n = std::min(n, stationRowCount(c));
      if (step([&] { addStationRow(c, station->name, station->address, n); })) {
        if (echo)
          step([&] {
            echo->writeLine(station->name + "," + station->address + "," + std::to_string(n));
          });
        n = n + 1;
      }
    }
    bool more = false;
    step([&] { more = !reader->atEndOfStream() && !reader->atEndOfLine(); });
    if (!more) break;
  }

  if (reader) step([&] { reader->close(); });
  if (echo) step([&] { echo->close(); });
}

}  // namespace zelvo
