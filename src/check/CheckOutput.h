// Writing the live stations of a check: a station file in the window's format (GBK, CR LF,
// "name,address,-999,假,假" lines and the end marker) or, for ".m3u"/".m3u8", an extended M3U
// playlist in UTF-8. The file is replaced whole, never left half-written.
#pragma once

#include <string>
#include <vector>

#include "check/CheckInput.h"
#include "platform/TextFiles.h"

namespace zelvo {

enum class OutputFormat { StationFile, M3u };

OutputFormat outputFormatFor(const std::string& path);

// What a station file could not hold as it was given (a playlist's names and addresses may
// have characters GBK has not).
struct OutputReport {
  size_t written = 0;
  std::vector<std::string> namesLosingCharacters;  // written with "?" for those characters
  std::vector<std::string> addressesNotStorable;   // left out: the address would break
};

// Throws PlatformFailure when the file cannot be replaced; the old file then stays as it was.
OutputReport writeCheckOutput(TextFileService& files, const std::string& path,
                              const std::vector<CheckStation>& stations);

// Throws PlatformFailure, with the reason, when path could not be written; changes nothing.
void probeOutputWritable(TextFileService& files, const std::string& path);

}  // namespace zelvo
