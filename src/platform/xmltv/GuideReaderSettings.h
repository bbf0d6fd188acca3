// How the guide reader fetches and bounds what it reads. Its module (see ModuleEntries.h) is
// opened on the first read, so that a command that reads no guide maps no QtNetwork.
#pragma once

#include <cstdint>
#include <string>

#include "platform/GuideReader.h"

namespace zelvo {

struct GuideReaderSettings {
  // Where fetched guides and logos are kept; empty: $XDG_CACHE_HOME/zelvo/guide (~/.cache).
  std::string cacheFolder;
  // A cached guide younger than this is read without asking the server.
  int64_t freshSeconds = 12 * 3600;
  // A transfer that brings no data for this long fails.
  int timeoutMs = 30000;
  int maxRedirects = 8;
  // The most a guide may hold once inflated, and the most a download may bring; past it the
  // read stops and what was read so far is kept.
  int64_t maxGuideBytes = int64_t{512} << 20;
  int64_t maxLogoBytes = int64_t{4} << 20;
  // Bounds what one channel keeps whatever a guide holds: its programmes, and the text of each.
  int maxProgrammesPerChannel = 5000;
  int maxTitleBytes = 512;
  int maxDescriptionBytes = 4096;
};

}  // namespace zelvo
