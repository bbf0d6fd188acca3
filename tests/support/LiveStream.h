// A live stream that ffmpeg writes into a folder while a test runs (test picture and tone, 1 s
// segments, a list of the last 6, older segments deleted), as HLS, as MPEG-DASH, or as HLS whose
// master playlist names two audio renditions beside the picture.
#pragma once

#include <string>

#include "support/ChildProcess.h"

namespace zelvo::test {

class LiveStream {
 public:
  // HlsAudioRenditions: the master playlist names the audio renditions "English" (LANGUAGE "eng")
  // and "中文" (LANGUAGE "chi", a higher tone) in one group, each a media playlist of its own,
  // and a video-only variant that plays with that group, as public lists of stations serve them.
  enum class Kind { Hls, Dash, HlsAudioRenditions };
  // Starts ffmpeg; throws std::runtime_error when it cannot be started.
  LiveStream(std::string folder, Kind kind);
  LiveStream(const LiveStream&) = delete;
  LiveStream& operator=(const LiveStream&) = delete;

  // The file name of the (master) playlist in the folder: "live.m3u8" or "live.mpd".
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
