// The track menu: entries from what the player reports, rebuilt whenever it reports a change and
// again as the menu opens, so that the menu never offers a track the stream no longer has.
#include "playback/TrackMenu.h"

#include "form/FormControls.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

// "language — title" where the stream names them, else the track's place in its kind.
std::string captionOf(const MediaTrack& track, int place) {
  if (!track.language.empty() && !track.title.empty() && track.language != track.title)
    return track.language + " — " + track.title;
  if (!track.language.empty()) return track.language;
  if (!track.title.empty()) return track.title;
  return std::string(track.kind == TrackKind::Audio ? kAudioHeading : kSubtitleHeading) + " " +
         std::to_string(place);
}

}  // namespace

TrackMenuEntries trackMenuEntries(const std::vector<MediaTrack>& tracks) {
  TrackMenuEntries menu;
  for (TrackKind kind : {TrackKind::Audio, TrackKind::Subtitle}) {
    int place = 0;
    bool anySelected = false;
    for (const MediaTrack& track : tracks) {
      if (track.kind != kind) continue;
      if (place++ == 0) {
        menu.entries.push_back(
            {kind == TrackKind::Audio ? kAudioHeading : kSubtitleHeading, false, true});
        menu.choices.push_back(std::nullopt);
      }
      menu.entries.push_back({captionOf(track, place), track.selected, false});
      menu.choices.push_back(TrackChoice{kind, track.id});
      anySelected = anySelected || track.selected;
    }
    if (kind == TrackKind::Subtitle && place > 0) {
      menu.entries.push_back({kSubtitlesOff, !anySelected, false});
      menu.choices.push_back(TrackChoice{kind, kNoTrack});
    }
  }
  return menu;
}

void TrackMenu::connect() {
  Services& p = x_.p;
  areas_.reserve(2);
  areas_.push_back({x_.c.WindowsMediaPlayer1,
                    [&p] { return p.wmp.tracks(); },
                    [&p](TrackKind kind, int id) { p.wmp.selectTrack(kind, id); },
                    {}});
  areas_.push_back({x_.c.RealAudio1,
                    [&p] { return p.real.tracks(); },
                    [&p](TrackKind kind, int id) { p.real.selectTrack(kind, id); },
                    {}});
  for (Area& side : areas_) {
    side.area.contextMenuOpening.connect([this, &side] { step([&] { refresh(side); }); });
    side.area.contextEntryChosen.connect([this, &side](int index) { choose(side, index); });
  }
  p.wmp.tracksChanged.connect([this] { step([&] { refresh(areas_[0]); }); });
  p.real.tracksChanged.connect([this] { step([&] { refresh(areas_[1]); }); });
}

void TrackMenu::refresh(Area& side) {
  TrackMenuEntries menu = trackMenuEntries(side.tracks());
  side.choices = std::move(menu.choices);
  side.area.setContextEntries(std::move(menu.entries));
}

void TrackMenu::choose(Area& side, int index) {
  if (index < 0 || static_cast<size_t>(index) >= side.choices.size()) return;
  const std::optional<TrackChoice> choice = side.choices[static_cast<size_t>(index)];
  if (!choice) return;
  step([&] { side.select(choice->kind, choice->id); });
  // The player confirms with tracksChanged; until then the menu shows what it reports now.
  step([&] { refresh(side); });
}

}  // namespace zelvo
