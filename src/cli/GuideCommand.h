// The guide command: reads the programme guides for a station file and prints, for every
// station a guide has, the programme now and next.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "guide/ProgrammeGuide.h"
#include "platform/Clock.h"
#include "platform/GuideReader.h"
#include "platform/TextFiles.h"

namespace zelvo {

struct GuideCommandOptions {
  std::string stationFile;  // a file name in appFolder; empty for the library
  std::string appFolder;
  bool showProgress = false;     // the reader's progress lines on err
  const Clock* clock = nullptr;  // the system's when none
};

// One line a station that a guide has: its name, then now and next, separated by tabs.
// waitForEvents blocks until the reader may have news. Returns 0 when done, 1 when there was
// no station file, no guide source or no guide could be read (the reason on err).
int runGuide(TextFileService& files, GuideReader& reader,
             const std::function<void()>& waitForEvents, const GuideCommandOptions& options,
             std::ostream& out, std::ostream& err);

}  // namespace zelvo
