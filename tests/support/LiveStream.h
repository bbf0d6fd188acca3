// A live stream that ffmpeg writes into a folder while a test runs (test picture and tone, 1 s
// segments, a list of the last 6, older segments deleted), as HLS or as MPEG-DASH.
#pragma once

#include <string>

#include "support/ChildProcess.h"

namespace zelvo::test {

class LiveStream {
 public:
  enum class Kind { Hls, Dash };
  // Starts ffmpeg; throws std::runtime_error when it cannot be started.
  LiveStream(std::string folder, Kind kind);
  LiveStream(const LiveStream&) = delete;
  LiveStream& operator=(const LiveStream&) = delete;

  // The file name of the playlist in the folder: "live.m3u8" or "live.mpd".
  std::string playlistName() const;
  // Waits until the playlist lists at least three segments, which players that start three
  // segments from the live edge need; false when that takes longer or ffmpeg has ended.
  bool waitReady(int timeoutMs);

 private:
  std::string folder_;
  Kind kind_;
  ChildProcess ffmpeg_;  // stopped (SIGTERM, then SIGKILL) and reaped with the object
};

}  // namespace zelvo::test
