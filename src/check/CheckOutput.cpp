#include "check/CheckOutput.h"

#include "formats/PlaylistWriter.h"
#include "formats/StationAddress.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

bool endsWithIgnoringCase(const std::string& text, std::string_view lowerSuffix) {
  return text.size() >= lowerSuffix.size() &&
         containsIgnoringCase(std::string_view(text).substr(text.size() - lowerSuffix.size()),
                              lowerSuffix);
}

bool fitsOneLine(const std::string& text) {
  return text.find_first_of("\r\n") == std::string::npos;
}

// A field of a station line holds no comma; a name's comma becomes the full-width one.
std::string nameField(const std::string& name) {
  std::string field;
  for (char ch : name) {
    if (ch == ',') {
      field += "，";
    } else {
      field += ch == '\r' || ch == '\n' ? ' ' : ch;
    }
  }
  // The window's loader skips a line whose name is empty, but keeps one of spaces.
  return field.empty() ? " " : field;
}

OutputReport writeStationFile(TextFileService& files, TextWriter& writer,
                              const std::vector<CheckStation>& stations) {
  OutputReport report;
  for (const CheckStation& station : stations) {
    if (station.address.find(',') != std::string::npos || !fitsOneLine(station.address) ||
        files.textAsStored(station.address) != station.address) {
      report.addressesNotStorable.push_back(station.name + "," + station.address);
      continue;
    }
    const std::string name = nameField(station.name);
    if (files.textAsStored(name) != name) report.namesLosingCharacters.push_back(name);
    writer.writeLine(name + "," + station.address + ",-999,假,假");
    ++report.written;
  }
  writer.writeLine("end");
  return report;
}

OutputReport writeM3u(TextWriter& writer, const std::vector<CheckStation>& stations) {
  OutputReport report;
  std::vector<PlaylistEntry> entries;
  for (const CheckStation& station : stations) {
    if (!fitsM3uLine(addressUrl(station.address))) {
      report.addressesNotStorable.push_back(station.name + "," + station.address);
      continue;
    }
    // Other players show the address where an entry has no name.
    entries.push_back(
        {station.name.empty() ? station.address : station.name, station.address, station.group});
  }
  report.written = entries.size();
  writer.writeBytes(writeExtendedM3u(entries));
  return report;
}

}  // namespace

OutputFormat outputFormatFor(const std::string& path) {
  return endsWithIgnoringCase(path, ".m3u") || endsWithIgnoringCase(path, ".m3u8")
             ? OutputFormat::M3u
             : OutputFormat::StationFile;
}

OutputReport writeCheckOutput(TextFileService& files, const std::string& path,
                              const std::vector<CheckStation>& stations) {
  auto writer = files.createTextFile(path);
  const OutputReport report = outputFormatFor(path) == OutputFormat::M3u
                                  ? writeM3u(*writer, stations)
                                  : writeStationFile(files, *writer, stations);
  writer->close();
  return report;
}

void probeOutputWritable(TextFileService& files, const std::string& path) {
  // A writer that goes without close() leaves the old file, or none, as it was.
  files.createTextFile(path);
}

}  // namespace zelvo
