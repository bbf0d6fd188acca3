// Recording on libVLC: the stream is opened again with a second output that writes it to a file.
#include <vlc/vlc.h>

#include <algorithm>
#include <iterator>

#include "platform/Failure.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"

namespace zelvo {

namespace {
constexpr uint32_t fourcc(const char (&code)[5]) {
  return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 |
         uint32_t(uint8_t(code[2])) << 16 | uint32_t(uint8_t(code[3])) << 24;
}

// The muxer that keeps every track of the stream playable. MPEG-TS carries the codecs of
// broadcast television; Windows Media keeps its own container; anything else goes into Matroska,
// which players recognise by its content whatever the file is called.
std::string muxerFor(libvlc_media_t* media) {
  static const uint32_t transportStream[] = {fourcc("mpgv"), fourcc("mp1v"), fourcc("mp2v"),
                                             fourcc("mp4v"), fourcc("h264"), fourcc("hevc"),
                                             fourcc("mpga"), fourcc("mp3 "), fourcc("mp4a"),
                                             fourcc("a52 "), fourcc("eac3"), fourcc("dts ")};
  static const uint32_t windowsMedia[] = {fourcc("WMV1"), fourcc("WMV2"), fourcc("WMV3"),
                                          fourcc("WVC1"), fourcc("WMA1"), fourcc("WMA2"),
                                          fourcc("WMAP"), fourcc("WMAL")};
  const auto among = [](uint32_t codec, const auto& codecs) {
    return std::find(std::begin(codecs), std::end(codecs), codec) != std::end(codecs);
  };
  libvlc_media_track_t** tracks = nullptr;
  const unsigned count = libvlc_media_tracks_get(media, &tracks);
  bool ts = true, asf = true;
  for (unsigned i = 0; i < count; ++i) {
    if (tracks[i]->i_type != libvlc_track_video && tracks[i]->i_type != libvlc_track_audio)
      continue;
    ts = ts && among(tracks[i]->i_codec, transportStream);
    asf = asf && among(tracks[i]->i_codec, windowsMedia);
  }
  if (tracks) libvlc_media_tracks_release(tracks, count);
  if (ts) return "ts";
  return asf ? "asf" : "avformat{mux=matroska}";
}

// A value of a stream output chain, quoted: a path may hold blanks, commas and braces.
std::string chainValue(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"' || c == '\'') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}
}  // namespace

void VlcWindowsMediaPlayer::startRecording(const std::string& path) {
  if (!engineReady() || !media_ || !started_ ||
      (state_ != WmpState::Playing && state_ != WmpState::Paused)) {
    fail("nothing plays that could be recorded");
  }
  if (!recordingPath().empty()) fail("a recording runs already");
  // libVLC 3 adds an output only to a stream it opens: the picture goes on as before, and a
  // copy of the stream goes into the file as it arrives.
  libvlc_media_t* media =
      reopenedMedia(":sout=#duplicate{dst=display,dst=std{access=file,mux=" + muxerFor(media_) +
                    ",dst=" + chainValue(path) + "}}");
  if (!media) fail("the stream could not be opened again to record it");
  log_.takeAlarm();
  restartQuietly(media);
  recordingBegan(path);
}

void VlcWindowsMediaPlayer::stopRecording() {
  if (recordingDropped().empty()) return;
  if (!engineReady() || !media_) return;
  // The player that wrote the file is retired in the background and closes it when it stops.
  if (libvlc_media_t* media = reopenedMedia("")) restartQuietly(media);
}

libvlc_media_t* VlcWindowsMediaPlayer::reopenedMedia(const std::string& option) {
  char* mrl = libvlc_media_get_mrl(media_);
  if (!mrl) return nullptr;
  libvlc_media_t* media = libvlc_media_new_location(instance_, mrl);
  libvlc_free(mrl);
  if (media && !option.empty()) libvlc_media_add_option(media, option.c_str());
  return media;
}

void VlcWindowsMediaPlayer::restartQuietly(libvlc_media_t* media) {
  haltEngine();
  quietRestart_ = true;
  startMedia(media, source_);
}

void VlcWindowsMediaPlayer::announceRecordingEnd(const std::string& path,
                                                 const std::string& problem) {
  recordingStopped.raise(path, problem);
}

}  // namespace zelvo
