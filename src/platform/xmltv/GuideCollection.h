// The wanted channels gathered from one or more guides while they are read, bounded per channel,
// and handed over sorted by start with overlaps cut.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "formats/Guide.h"

namespace zelvo {

class GuideCollection {
 public:
  // keepUntil of 0 or less: no end.
  GuideCollection(int64_t keepFrom, int64_t keepUntil, int maxProgrammesPerChannel);

  // Notes a channel with its names and logo; the same id again adds the names it lacks.
  void addChannel(const GuideChannel& channel);
  // A programme whose stop is unknown has stop 0: it ends where the next one begins. False when
  // the channel holds its most already (the programme is not kept).
  bool addProgramme(const std::string& channelId, Programme programme);
  bool inWindow(int64_t start, int64_t stop) const;
  // Whether the channel keeps no more programmes.
  bool full(const std::string& channelId) const;
  // The channels in the order first met, each sorted by start; where two programmes overlap
  // the earlier ends where the next begins, and of two with the same start the first met stays.
  // Counts in dropped the programmes left without an end.
  std::vector<GuideChannel> take(int& dropped);

 private:
  GuideChannel& channel(const std::string& id);

  int64_t keepFrom_;
  int64_t keepUntil_;
  size_t maxProgrammes_;
  std::vector<GuideChannel> channels_;
  std::map<std::string, size_t> index_;
};

}  // namespace zelvo
