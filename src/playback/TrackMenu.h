// The context menu on the playing picture: the audio and subtitle tracks of the player that
// shows in each area, the chosen ones marked, and the user's choice handed to that player.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "form/Services.h"
#include "platform/Control.h"
#include "platform/MediaTracks.h"

namespace zelvo {

inline constexpr const char* kAudioHeading = "音轨";
inline constexpr const char* kSubtitleHeading = "字幕";
inline constexpr const char* kSubtitlesOff = "关闭字幕";

struct TrackChoice {
  TrackKind kind = TrackKind::Audio;
  int id = 0;
  bool operator==(const TrackChoice&) const = default;
};

// The entries of a menu over tracks, each with the choice it makes (none for a heading).
struct TrackMenuEntries {
  std::vector<ContextEntry> entries;
  std::vector<std::optional<TrackChoice>> choices;
};
TrackMenuEntries trackMenuEntries(const std::vector<MediaTrack>& tracks);

class TrackMenu {
 public:
  explicit TrackMenu(Context context) : x_(context) {}
  void connect();

 private:
  struct Area {
    HostArea& area;
    std::function<std::vector<MediaTrack>()> tracks;
    std::function<void(TrackKind, int)> select;
    std::vector<std::optional<TrackChoice>> choices;
  };
  void refresh(Area& side);
  void choose(Area& side, int index);

  Context x_;
  std::vector<Area> areas_;
};

}  // namespace zelvo
