// Recording on libmpv: stream-record writes what arrives to a file while the clip plays on.
#include <mpv/client.h>

#include <filesystem>
#include <set>

#include "platform/Failure.h"
#include "platform/mpv/MpvRealPlayer.h"

namespace zelvo {

namespace {

// Codecs, as ffmpeg names them, that an MPEG-TS file carries so that players read them back.
bool fitsTransportStream(const std::string& codec) {
  static const std::set<std::string> carried = {"mpeg1video", "mpeg2video", "mpeg4", "h264",
                                                "hevc",       "mp1",        "mp2",   "mp3",
                                                "aac",        "ac3",        "eac3",  "dts"};
  return codec.empty() || carried.count(codec) > 0;
}

}  // namespace

std::string MpvRealPlayer::trackCodec(const char* kind) const {
  const std::string property = std::string("current-tracks/") + kind + "/codec";
  char* codec = mpv_get_property_string(handle_, property.c_str());
  const std::string name = codec ? codec : "";
  mpv_free(codec);
  return name;
}

void MpvRealPlayer::startRecording(const std::string& path) {
  requireEngine();
  if (phase_ != Phase::Loaded || (state_ != RealState::Playing && state_ != RealState::Paused))
    fail("nothing plays that could be recorded");
  if (!recordingPath().empty()) fail("a recording runs already");
  namespace fs = std::filesystem;
  // mpv picks the file's format by the ending of its name, so it writes through a hidden link
  // beside the file whose name ends as the format should. MPEG-TS holds only some codecs (it
  // keeps Motion JPEG, for one, as data no player shows): other streams go into Matroska, which
  // players recognise by its content whatever the file is called.
  const bool transportStream =
      fitsTransportStream(trackCodec("video")) && fitsTransportStream(trackCodec("audio"));
  const std::string ending = transportStream ? ".ts" : ".mkv";
  std::string target = path;
  if (!path.ends_with(ending)) {
    const fs::path file(path);
    const fs::path link = file.parent_path() / ("." + file.filename().string() + ending);
    std::error_code error;
    fs::remove(link, error);
    fs::create_symlink(file.filename(), link, error);
    if (error) fail("cannot record into " + file.parent_path().string() + ": " + error.message());
    recordLink_ = link.string();
    target = recordLink_;
  }
  const int rc = mpv_set_property_string(handle_, "stream-record", target.c_str());
  if (rc < 0) {
    releaseRecorder();
    fail(std::string("the engine refused to record: ") + mpv_error_string(rc));
  }
  recordingBegan(path);
}

void MpvRealPlayer::stopRecording() {
  if (recordingDropped().empty()) return;
  releaseRecorder();
}

void MpvRealPlayer::releaseRecorder() {
  // stream-record outlives the clip in mpv: the next one would be written over the file.
  if (handle_) mpv_set_property_string(handle_, "stream-record", "");
  if (!recordLink_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(recordLink_, ignored);
    recordLink_.clear();
  }
}

// Not with the clip's events: a clip let go of drops those, and this news must arrive.
void MpvRealPlayer::announceRecordingEnd(const std::string& path, const std::string& problem) {
  recordingStopped.raise(path, problem);
}

}  // namespace zelvo
