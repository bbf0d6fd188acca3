// Runs ffmpeg as a live encoder at the pace of real time (-re), writing its segments and playlist
// under temporary names and renaming them when complete, so the loopback server never serves half
// a file. ffmpeg's messages go to ffmpeg.log in the folder.
#include "support/LiveStream.h"

#include <fcntl.h>
#include <spawn.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/Clips.h"
#include "support/Waiting.h"

namespace zelvo::test {

namespace {

std::vector<std::string> ffmpegArguments(const std::string& folder, LiveStream::Kind kind,
                                         const std::string& playlist) {
  std::vector<std::string> arguments = {"ffmpeg",
                                        "-hide_banner",
                                        "-nostdin",
                                        "-loglevel",
                                        "error",
                                        "-y",
                                        "-re",
                                        "-f",
                                        "lavfi",
                                        "-i",
                                        "testsrc=size=320x240:rate=25",
                                        "-f",
                                        "lavfi",
                                        "-i",
                                        "sine=frequency=440:sample_rate=44100"};
  // The second rendition speaks in a higher tone.
  if (kind == LiveStream::Kind::HlsAudioRenditions) {
    for (const char* word : {"-f", "lavfi", "-i", "sine=frequency=880:sample_rate=44100", "-map",
                             "0:v", "-map", "1:a", "-map", "2:a"})
      arguments.emplace_back(word);
  }
  // A key frame every second, so every 1 s segment starts with one.
  if (ffmpegHasEncoder("libx264")) {
    for (const char* word :
         {"-c:v", "libx264", "-preset", "ultrafast", "-tune", "zerolatency", "-pix_fmt", "yuv420p"})
      arguments.emplace_back(word);
  } else {
    for (const char* word : {"-c:v", "mpeg2video"}) arguments.emplace_back(word);
  }
  for (const char* word : {"-g", "25", "-keyint_min", "25", "-sc_threshold", "0", "-c:a",
                           ffmpegHasEncoder("aac") ? "aac" : "mp2", "-b:a", "64k"})
    arguments.emplace_back(word);
  if (kind != LiveStream::Kind::Dash) {
    for (const char* word : {"-f", "hls", "-hls_time", "1", "-hls_list_size", "6", "-hls_flags",
                             "delete_segments+temp_file"})
      arguments.emplace_back(word);
  }
  if (kind == LiveStream::Kind::HlsAudioRenditions) {
    // One media playlist per stream, live_video.m3u8, live_eng.m3u8 and live_chi.m3u8; the
    // master playlist is the test's own.
    for (const char* word :
         {"-var_stream_map", "v:0,name:video a:0,name:eng a:1,name:chi", "-hls_segment_filename"})
      arguments.emplace_back(word);
    arguments.push_back(folder + "/live_%v_%d.ts");
    arguments.push_back(folder + "/live_%v.m3u8");
    return arguments;
  }
  if (kind == LiveStream::Kind::Dash) {
    for (const char* word : {"-f", "dash", "-seg_duration", "1", "-window_size", "6",
                             "-extra_window_size", "2", "-use_template", "1", "-use_timeline", "1"})
      arguments.emplace_back(word);
  }
  arguments.push_back(folder + "/" + playlist);
  return arguments;
}

// The number of segments the playlist lists now; 0 when it is missing.
int listedSegments(const std::string& path, LiveStream::Kind kind) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string body = text.str();
  if (kind != LiveStream::Kind::Dash) {
    int count = 0;
    for (size_t at = body.find("#EXTINF"); at != std::string::npos;
         at = body.find("#EXTINF", at + 1))
      ++count;
    return count;
  }
  // The first representation's timeline: each <S> is one segment plus its repeat count r.
  const size_t end = body.find("</SegmentTimeline>");
  int count = 0;
  for (size_t at = body.find("<S "); at != std::string::npos && at < end;
       at = body.find("<S ", at + 1)) {
    ++count;
    const size_t close = body.find("/>", at);
    const size_t repeat = body.find(" r=\"", at);
    if (repeat != std::string::npos && repeat < close)
      count += std::atoi(body.c_str() + repeat + 4);
  }
  return count;
}

}  // namespace

LiveStream::LiveStream(std::string folder, Kind kind)
    : folder_(std::move(folder)),
      kind_(kind),
      ffmpeg_(
          ffmpegArguments(folder_, kind_, playlistName()),
          [log = folder_ + "/ffmpeg.log"](posix_spawn_file_actions_t& streams) {
            posix_spawn_file_actions_addopen(&streams, 0, "/dev/null", O_RDONLY, 0);
            posix_spawn_file_actions_addopen(&streams, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                             0644);
            posix_spawn_file_actions_adddup2(&streams, 1, 2);
          },
          "ffmpeg") {
  if (kind_ != Kind::HlsAudioRenditions) return;
  // Written whole under another name and renamed, as ffmpeg does with its own playlists.
  const std::string master = folder_ + "/" + playlistName();
  std::ofstream(master + ".tmp", std::ios::binary)
      << "#EXTM3U\n#EXT-X-VERSION:3\n"
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"aud\",NAME=\"English\",LANGUAGE=\"eng\","
         "DEFAULT=YES,AUTOSELECT=YES,URI=\"live_eng.m3u8\"\n"
         "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"aud\",NAME=\"中文\",LANGUAGE=\"chi\","
         "DEFAULT=NO,AUTOSELECT=YES,URI=\"live_chi.m3u8\"\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=300000,RESOLUTION=320x240,AUDIO=\"aud\"\n"
         "live_video.m3u8\n";
  std::rename((master + ".tmp").c_str(), master.c_str());
}

std::string LiveStream::playlistName() const {
  return kind_ == Kind::Dash ? "live.mpd" : "live.m3u8";
}

bool LiveStream::waitReady(int timeoutMs) {
  // With renditions, the picture's own list: each of ffmpeg's lists grows at the same pace.
  const std::string playlist =
      folder_ + "/" + (kind_ == Kind::HlsAudioRenditions ? "live_video.m3u8" : playlistName());
  bool ready = false;
  waitUntil([&] { return ffmpeg_.ended() || (ready = listedSegments(playlist, kind_) >= 3); },
            timeoutMs, 100);
  return ready;
}

}  // namespace zelvo::test
