// The audio and subtitle tracks on libmpv: the clip's track list as mpv reports it, and the
// choice of another through aid and sid while the clip plays on.
#include <mpv/client.h>

#include <cstring>

#include "platform/Failure.h"
#include "platform/mpv/MpvRealPlayer.h"

namespace zelvo {

namespace {

const mpv_node* memberOf(const mpv_node& map, const char* key) {
  if (map.format != MPV_FORMAT_NODE_MAP || !map.u.list) return nullptr;
  for (int i = 0; i < map.u.list->num; ++i)
    if (std::strcmp(map.u.list->keys[i], key) == 0) return &map.u.list->values[i];
  return nullptr;
}

std::string textMember(const mpv_node& map, const char* key) {
  const mpv_node* value = memberOf(map, key);
  return value && value->format == MPV_FORMAT_STRING && value->u.string ? value->u.string : "";
}

}  // namespace

// mpv's track-list: an array of maps with type, id, lang, title and selected.
void MpvRealPlayer::readTrackList(const void* data, int format) {
  std::vector<MediaTrack> tracks;
  const auto* list = static_cast<const mpv_node*>(data);
  if (format == MPV_FORMAT_NODE && list && list->format == MPV_FORMAT_NODE_ARRAY && list->u.list) {
    for (int i = 0; i < list->u.list->num; ++i) {
      const mpv_node& entry = list->u.list->values[i];
      const std::string type = textMember(entry, "type");
      const mpv_node* id = memberOf(entry, "id");
      if ((type != "audio" && type != "sub") || !id || id->format != MPV_FORMAT_INT64) continue;
      const mpv_node* selected = memberOf(entry, "selected");
      tracks.push_back({type == "audio" ? TrackKind::Audio : TrackKind::Subtitle,
                        static_cast<int>(id->u.int64), textMember(entry, "lang"),
                        textMember(entry, "title"),
                        selected && selected->format == MPV_FORMAT_FLAG && selected->u.flag});
    }
  }
  setTracks(std::move(tracks));
}

void MpvRealPlayer::setTracks(std::vector<MediaTrack> tracks) {
  if (tracks == tracks_) return;
  tracks_ = std::move(tracks);
  // Never dropped with the clip's news: the menu must not keep a track the clip took along.
  raiseLater([this] { tracksChanged.raise(); });
}

std::vector<MediaTrack> MpvRealPlayer::tracks() const { return tracks_; }

void MpvRealPlayer::selectTrack(TrackKind kind, int id) {
  if (phase_ != Phase::Loaded) fail("nothing plays");
  const bool off = kind == TrackKind::Subtitle && id == kNoTrack;
  bool known = off;
  for (const MediaTrack& track : tracks_) known = known || (track.kind == kind && track.id == id);
  if (!known) fail("the clip has no such track");
  setEngineProperty(kind == TrackKind::Audio ? "aid" : "sid", off ? "no" : std::to_string(id));
  // mpv confirms through track-list; until then the list shows the choice made.
  std::vector<MediaTrack> chosen = tracks_;
  for (MediaTrack& track : chosen)
    if (track.kind == kind) track.selected = track.id == id;
  setTracks(std::move(chosen));
}

}  // namespace zelvo
