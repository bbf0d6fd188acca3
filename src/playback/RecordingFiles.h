// What recordings are called: a station name made safe for a file name, and names that no file
// holds yet.
#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace zelvo {

// A station name as a file name: no path separators, control characters or characters other
// systems refuse in names; blanks trimmed; at most 120 bytes, cut between characters. An empty
// result becomes a neutral name.
std::string safeFileName(const std::string& name);

// The finished file and the name it is written under until it is complete.
struct RecordingNames {
  std::string file;  // "<folder>/<station> <date time>.ts"
  std::string part;  // file + ".part"
};

// Names in folder for a recording of station started at when (local time) that neither a
// finished nor an unfinished file holds yet, as taken tells.
RecordingNames freeRecordingNames(const std::string& folder, const std::string& station,
                                  std::time_t when,
                                  const std::function<bool(const std::string& path)>& taken);

}  // namespace zelvo
