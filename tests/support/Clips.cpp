// Test clips made with the ffmpeg command-line tool, and ASX playlists that point at them.
// A clip already present in the folder is reused.
#include "support/Clips.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zelvo::test {

bool ffmpegHasEncoder(const std::string& name) {
  static const std::string encoders = [] {
    std::string listing;
    if (FILE* pipe = ::popen("ffmpeg -hide_banner -encoders 2>/dev/null", "r")) {
      char buffer[4096];
      size_t got;
      while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) listing.append(buffer, got);
      ::pclose(pipe);
    }
    return listing;
  }();
  return encoders.find(" " + name + " ") != std::string::npos;
}

namespace {

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs the ffmpeg command that writes to partial, then puts the clip at path.
void runFfmpeg(const std::string& arguments, const std::string& path) {
  // Written under a temporary name so a failed run never leaves a half clip to be reused.
  const std::string partial = path + ".part";
  const std::string command = "ffmpeg -hide_banner -loglevel error -y " + arguments + " " +
                              shellQuoted(partial) + " </dev/null";
  if (std::system(command.c_str()) != 0) {
    std::filesystem::remove(partial);
    throw std::runtime_error("ffmpeg could not make " + path);
  }
  std::filesystem::rename(partial, path);
}

}  // namespace

std::string makeClip(const std::string& folder, double seconds, const std::string& format) {
  if (format != "ts" && format != "mp4" && format != "mp4-late-index" && format != "wmv")
    throw std::invalid_argument("unknown clip format " + format);
  std::ostringstream length;
  length << seconds;
  const std::string extension = format == "mp4-late-index" ? "late-index.mp4" : format;
  const std::string name = "clip-" + length.str() + "." + extension;
  const std::string path = folder + "/" + name;
  if (std::filesystem::exists(path)) return name;

  std::string video;
  if (format == "wmv") {
    video = "-c:v wmv2 -g 25";
  } else if (ffmpegHasEncoder("libx264")) {
    video = "-c:v libx264 -preset ultrafast -tune zerolatency -pix_fmt yuv420p -g 25";
  } else if (ffmpegHasEncoder("mpeg2video")) {
    video = "-c:v mpeg2video -g 25";
  } else {
    video = "-c:v mpeg1video -g 25";
  }
  const std::string audio = format == "wmv"           ? "-c:a wmav2 -b:a 64k"
                            : ffmpegHasEncoder("aac") ? "-c:a aac -b:a 64k"
                                                      : "-c:a mp2 -b:a 64k";
  const std::string muxer = format == "ts"    ? "-f mpegts"
                            : format == "wmv" ? "-f asf"
                            : format == "mp4" ? "-f mp4 -movflags +faststart"
                                              : "-f mp4";
  runFfmpeg(
      "-f lavfi -i testsrc=size=320x240:rate=25 "
      "-f lavfi -i sine=frequency=440:sample_rate=44100 -t " +
          length.str() + " " + video + " " + audio + " " + muxer,
      path);
  return name;
}

std::string makeTwoTrackClip(const std::string& folder, double seconds) {
  std::ostringstream length;
  length << seconds;
  const std::string name = "tracks-" + length.str() + ".mkv";
  const std::string path = folder + "/" + name;
  if (std::filesystem::exists(path)) return name;
  const std::string subtitles = folder + "/tracks.srt";
  std::ofstream(subtitles, std::ios::binary | std::ios::trunc)
      << "1\r\n00:00:00,000 --> 00:10:00,000\r\nsubtitle\r\n";
  const std::string video = ffmpegHasEncoder("libx264")
                                ? "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 25"
                                : "-c:v mpeg2video -g 25";
  const std::string audio = ffmpegHasEncoder("aac") ? "-c:a aac -b:a 64k" : "-c:a mp2 -b:a 64k";
  runFfmpeg(
      "-f lavfi -i testsrc=size=320x240:rate=25 "
      "-f lavfi -i sine=frequency=440:sample_rate=44100 "
      "-f lavfi -i sine=frequency=880:sample_rate=44100 -i " +
          shellQuoted(subtitles) + " -t " + length.str() + " -map 0:v -map 1:a -map 2:a -map 3:s " +
          video + " " + audio +
          " -c:s srt -metadata:s:a:0 language=eng -metadata:s:a:0 title=English"
          " -metadata:s:a:1 language=chi -metadata:s:a:1 title=中文"
          " -metadata:s:s:0 language=eng -f matroska",
      path);
  return name;
}

std::string makeAsx(const std::string& folder, const std::string& name,
                    const std::string& entryUrl) {
  std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
  out << "<ASX version=\"3.0\"><Entry><Ref href=\"" << entryUrl << "\"/></Entry></ASX>\n";
  if (!out) throw std::runtime_error("cannot write " + folder + "/" + name);
  return name;
}

}  // namespace zelvo::test
