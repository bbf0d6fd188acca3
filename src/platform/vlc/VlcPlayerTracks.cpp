// The audio and subtitle tracks on libVLC: the player's track lists, named by the languages and
// titles the media's tracks carry, and the choice of another while the stream plays on.
#include <vlc/vlc.h>

#include <map>

#include "platform/Failure.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"

namespace zelvo {

namespace {

struct Naming {
  std::string language;
  std::string title;
};

std::string textOf(const char* text) { return text ? text : ""; }

// The language and title of each of the media's tracks, by the id the player's lists use.
std::map<int, Naming> namingOf(libvlc_media_t* media) {
  std::map<int, Naming> naming;
  if (!media) return naming;
  libvlc_media_track_t** tracks = nullptr;
  const unsigned count = libvlc_media_tracks_get(media, &tracks);
  for (unsigned i = 0; i < count; ++i)
    naming[tracks[i]->i_id] = {textOf(tracks[i]->psz_language), textOf(tracks[i]->psz_description)};
  if (tracks) libvlc_media_tracks_release(tracks, count);
  return naming;
}

// A list of the player's (without its "disable" entry, id -1), the current one marked.
void addTracks(std::vector<MediaTrack>& into, TrackKind kind,
               libvlc_track_description_t* descriptions, int current,
               const std::map<int, Naming>& naming) {
  for (libvlc_track_description_t* d = descriptions; d; d = d->p_next) {
    if (d->i_id < 0) continue;
    MediaTrack track{kind, d->i_id, {}, {}, d->i_id == current};
    if (auto named = naming.find(d->i_id); named != naming.end()) {
      track.language = named->second.language;
      track.title = named->second.title;
    }
    into.push_back(std::move(track));
  }
  if (descriptions) libvlc_track_description_list_release(descriptions);
}

}  // namespace

std::vector<MediaTrack> VlcWindowsMediaPlayer::tracks() const {
  std::vector<MediaTrack> tracks;
  if (!engineReady() || !media_ || !engineBusy_) return tracks;
  libvlc_media_t* playing = libvlc_media_player_get_media(player_);
  const std::map<int, Naming> naming = namingOf(playing);
  if (playing) libvlc_media_release(playing);
  addTracks(tracks, TrackKind::Audio, libvlc_audio_get_track_description(player_),
            libvlc_audio_get_track(player_), naming);
  addTracks(tracks, TrackKind::Subtitle, libvlc_video_get_spu_description(player_),
            libvlc_video_get_spu(player_), naming);
  return tracks;
}

void VlcWindowsMediaPlayer::selectTrack(TrackKind kind, int id) {
  if (!engineReady() || !media_ || !engineBusy_) fail("nothing plays");
  const bool off = kind == TrackKind::Subtitle && id == kNoTrack;
  bool known = off;
  for (const MediaTrack& track : tracks()) known = known || (track.kind == kind && track.id == id);
  if (!known) fail("the stream has no such track");
  const int rc = kind == TrackKind::Audio ? libvlc_audio_set_track(player_, id)
                                          : libvlc_video_set_spu(player_, id);
  if (rc != 0) fail("the player could not switch to the track");
  announceTracks();
}

void VlcWindowsMediaPlayer::announceTracks() {
  raiseLater([this] { tracksChanged.raise(); });
}

}  // namespace zelvo
