// The audio and subtitle tracks of what a player plays, as both players offer them beside their
// own contracts: what the stream holds, which one is chosen, and the choice of another.
#pragma once

#include <string>

namespace zelvo {

enum class TrackKind { Audio, Subtitle };

struct MediaTrack {
  TrackKind kind = TrackKind::Audio;
  int id = 0;            // the engine's own number for the track: what selectTrack takes
  std::string language;  // as the stream names it ("eng", "chi"); empty when it gives none
  std::string title;     // empty when the stream gives none
  bool selected = false;

  bool operator==(const MediaTrack&) const = default;
};

// The id that selectTrack takes for "no subtitles".
inline constexpr int kNoTrack = -1;

}  // namespace zelvo
