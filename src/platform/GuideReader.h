// Reads programme guides (XMLTV, plain or gzip) from the network or local files in the
// background, keeping only the channels asked for, and fetches channel logos into a cache.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "formats/Guide.h"
#include "platform/Event.h"

namespace zelvo {

// Which channels a read keeps: those whose id is listed, and those one of whose display names
// is listed (as normalizeGuideName gives it). Everything else is passed over while reading.
struct GuideWanted {
  std::set<std::string> ids;
  std::set<std::string> names;
};

struct GuideRequest {
  std::vector<std::string> sources;  // http(s) addresses or local paths, in order
  GuideWanted wanted;
  // Programmes that end before keepFrom or start at or after keepUntil are dropped (UTC
  // seconds), which bounds the memory whatever a guide holds.
  int64_t keepFrom = 0;
  int64_t keepUntil = 0;
  // The asker's time (UTC seconds): how old the cached copies are.
  int64_t now = 0;
};

struct GuideReport {
  // The wanted channels met in any source; one channel per id, programmes as GuideChannel says.
  std::vector<GuideChannel> channels;
  int sourcesRead = 0;                // sources that gave a guide, fresh or the last good copy
  int skipped = 0;                    // entries passed over as unreadable
  std::vector<std::string> problems;  // a line for people per source that failed
};

// Events are raised on the thread that called read() or fetchLogo(), after the call returned.
class GuideReader {
 public:
  virtual ~GuideReader() = default;
  // A read while another runs abandons that one: only the last read finishes.
  virtual void read(const GuideRequest& request) = 0;
  // Abandons the read in progress: finished is not raised for it.
  virtual void cancel() = 0;
  // Fetches a logo once into the cache; logoReady gives its address and its local path, or an
  // empty path when it could not be had.
  virtual void fetchLogo(const std::string& address) = 0;

  Event<GuideReport> finished;
  Event<std::string> progressed;  // a line for people while a read goes on
  Event<std::string, std::string> logoReady;
};

}  // namespace zelvo
