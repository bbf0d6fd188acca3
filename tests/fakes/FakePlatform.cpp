#include "fakes/FakePlatform.h"

#include <algorithm>
#include <fstream>

#include "platform/Failure.h"

namespace zelvo::test {

void FailureSwitch::check(const std::string& call) const {
  if (failing_.count(call)) fail(call + " refused");
}

void FakeRecorder::start(const std::string& path) {
  if (disk) {
    disk->append(path, "G-packets");
  } else {
    std::ofstream(path, std::ios::binary | std::ios::app) << "G-packets";
  }
  path_ = path;
}

void FakeRecorder::end(const std::string& problem) {
  if (path_.empty()) return;
  loop_.post([this, path = path_, problem] { stopped_.raise(path, problem); });
  path_.clear();
}

void FakeTracks::set(std::vector<MediaTrack> tracks) {
  tracks_ = std::move(tracks);
  loop_.post([this] { changed_.raise(); });
}

void FakeTracks::select(TrackKind kind, int id) {
  const bool off = kind == TrackKind::Subtitle && id == kNoTrack;
  bool found = off;
  for (const MediaTrack& track : tracks_) found = found || (track.kind == kind && track.id == id);
  if (!found) throw PlatformFailure("no such track");
  for (MediaTrack& track : tracks_)
    if (track.kind == kind) track.selected = track.id == id;
  loop_.post([this] { changed_.raise(); });
}

namespace {
std::string trackCall(const char* player, TrackKind kind, int id) {
  return std::string(player) + ".selectTrack " + (kind == TrackKind::Audio ? "audio " : "sub ") +
         std::to_string(id);
}
}  // namespace

void FakeWindowsMediaPlayer::selectTrack(TrackKind kind, int id) {
  record(trackCall("wmp", kind, id));
  tracks_.select(kind, id);
}

void FakeRealPlayer::selectTrack(TrackKind kind, int id) {
  record(trackCall("real", kind, id));
  tracks_.select(kind, id);
}

void FakeWindowsMediaPlayer::record(const std::string& call) const {
  log_.add(call);
  failures_.check(call.substr(0, call.find(' ')));
}

void FakeWindowsMediaPlayer::enter(int newState) {
  state = newState;
  loop_.post([this, newState] { playStateChange.raise(newState); });
}

// As the real player does: the error first, then the ready state of a player holding nothing.
void FakeWindowsMediaPlayer::failWith(int32_t code, const std::string& description) {
  if (url_.empty()) return;  // closed: late news of the old stream is dropped
  url_.clear();
  recorder_.end();
  errors_.push_back({code, description});
  loop_.post([this] { error.raise(); });
  enter(WmpState::Ready);
}

void FakeWindowsMediaPlayer::setURL(const std::string& address) {
  record("wmp.URL " + address);
  recorder_.end();
  url_ = address;
  enter(WmpState::Transitioning);
  if (onOpen) onOpen(address);
}
void FakeWindowsMediaPlayer::close() {
  record("wmp.close");
  recorder_.end();
  url_.clear();
  errors_.clear();
  if (state != WmpState::Ready) enter(WmpState::Ready);
}
void FakeWindowsMediaPlayer::play() { record("wmp.play"); }
void FakeWindowsMediaPlayer::pause() { record("wmp.pause"); }
void FakeWindowsMediaPlayer::stop() {
  record("wmp.stop");
  recorder_.end();
  if (!url_.empty() && state != WmpState::Stopped && state != WmpState::Ready)
    enter(WmpState::Stopped);
}
std::string FakeWindowsMediaPlayer::durationString() const {
  failures_.check("wmp.durationString");
  return duration;
}
void FakeWindowsMediaPlayer::setPlayCount(int count) {
  record("wmp.playCount " + std::to_string(count));
  playCount = count;
}
int FakeWindowsMediaPlayer::playState() const {
  failures_.check("wmp.playState");
  return state;
}
std::string FakeWindowsMediaPlayer::versionInfo() const {
  failures_.check("wmp.versionInfo");
  return version;
}
PlayerError FakeWindowsMediaPlayer::errorItem(int index) const {
  if (index < 0 || index >= errorCount()) fail("no such error");
  return errors_[static_cast<size_t>(index)];
}
void FakeWindowsMediaPlayer::clearErrorQueue() {
  record("wmp.clearErrorQueue");
  errors_.clear();
}
void FakeWindowsMediaPlayer::startRecording(const std::string& path) {
  record("wmp.startRecording " + path);
  if (url_.empty() || (state != WmpState::Playing && state != WmpState::Paused))
    fail("nothing plays");
  recorder_.start(path);
}
void FakeWindowsMediaPlayer::stopRecording() {
  record("wmp.stopRecording");
  recorder_.stop();
}

void FakeRealPlayer::record(const std::string& call) const {
  log_.add(call);
  failures_.check(call.substr(0, call.find(' ')));
}
void FakeRealPlayer::setSource(const std::string& address) {
  record("real.setSource " + address);
  source_ = address;
}
std::string FakeRealPlayer::source() const { return source_; }
void FakeRealPlayer::deliver(std::function<void()> event) {
  if (lettingGo_) return;
  loop_.post([this, clip = clip_, event = std::move(event)] {
    if (clip == clip_ && !lettingGo_) event();
  });
}
void FakeRealPlayer::enter(int newState) {
  const int old = state;
  state = newState;
  deliver([this, old, newState] { stateChange.raise(old, newState); });
}
void FakeRealPlayer::failWith(int32_t rmaCode) {
  if (state == RealState::Stopped) return;  // stopped: late news of the old clip is dropped
  recorder_.end();
  deliver([this, rmaCode] { errorMessage.raise(1, rmaCode, 0, "failed", "", source_); });
  enter(RealState::Stopped);
}
void FakeRealPlayer::raiseOpened(int32_t kind) {
  deliver([this, kind] { presentationEvent.raise(kind, length, source_); });
}

void FakeRealPlayer::doPlay() {
  record("real.doPlay");
  recorder_.end();
  ++clip_;
  lettingGo_ = false;
  enter(RealState::Contacting);
  if (onPlay) onPlay(source_);
}
void FakeRealPlayer::doPause() { record("real.doPause"); }
void FakeRealPlayer::doStop() {
  record("real.doStop");
  recorder_.end();
  if (state == RealState::Stopped) return;
  if (lettingGo_) {
    state = RealState::Stopped;
    return;
  }
  enter(RealState::Stopped);
}
void FakeRealPlayer::clearQueuedClips() {
  record("real.clearQueuedClips");
  ++clip_;
  lettingGo_ = true;
}
void FakeRealPlayer::setAutoStart(bool on) {
  record(std::string("real.setAutoStart ") + (on ? "1" : "0"));
}
void FakeRealPlayer::setWantErrors(bool on) {
  record(std::string("real.setWantErrors ") + (on ? "1" : "0"));
}
void FakeRealPlayer::setCacheSeconds(int32_t s) {
  record("real.setCacheSeconds " + std::to_string(s));
}
void FakeRealPlayer::setMaintainAspect(bool on) {
  record(std::string("real.setMaintainAspect ") + (on ? "1" : "0"));
}
void FakeRealPlayer::setVideoEnabled(bool on) {
  record(std::string("real.setVideoEnabled ") + (on ? "1" : "0"));
}
void FakeRealPlayer::setAudioEnabled(bool on) {
  record(std::string("real.setAudioEnabled ") + (on ? "1" : "0"));
}
void FakeRealPlayer::setWantStatusEvents(bool on) {
  record(std::string("real.setWantStatusEvents ") + (on ? "1" : "0"));
}
std::string FakeRealPlayer::versionInfo() const {
  failures_.check("real.versionInfo");
  return version;
}
int FakeRealPlayer::playState() const {
  failures_.check("real.playState");
  return state;
}
int32_t FakeRealPlayer::lengthMs() const {
  failures_.check("real.lengthMs");
  return length;
}
std::string FakeRealPlayer::lastStatus() const {
  failures_.check("real.lastStatus");
  return status;
}
void FakeRealPlayer::showImageWindow() { record("real.showImageWindow"); }
void FakeRealPlayer::startRecording(const std::string& path) {
  record("real.startRecording " + path);
  if (state != RealState::Playing && state != RealState::Paused) fail("nothing plays");
  recorder_.start(path);
}
void FakeRealPlayer::stopRecording() {
  record("real.stopRecording");
  recorder_.stop();
}

void FakeMessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
  log_.add("message " + text);
  shown.push_back({text, title, icon});
  if (whileShown) whileShown();
}

FakeWindowFunctions::FakeWindow* FakeWindowFunctions::find(WindowHandle window) {
  for (auto& w : windows_) {
    if (w.handle == window && w.open) return &w;
  }
  return nullptr;
}

WindowHandle FakeWindowFunctions::open(std::string title, WindowHandle owner, bool refusesClose) {
  const WindowHandle handle = 100 + windows_.size();
  windows_.push_back({handle, std::move(title), owner, refusesClose, true});
  return handle;
}

bool FakeWindowFunctions::isOpen(WindowHandle window) const {
  for (const auto& w : windows_) {
    if (w.handle == window) return w.open;
  }
  return false;
}

WindowHandle FakeWindowFunctions::lastActivePopup(WindowHandle owner) {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (it->open && it->owner == owner && owner != 0) return it->handle;
  }
  return owner;
}

std::string FakeWindowFunctions::windowText(WindowHandle window, int maxCount) {
  FakeWindow* w = find(window);
  if (!w) fail("no such window");
  return w->title.substr(0, static_cast<size_t>(std::max(0, maxCount - 1)));
}

void FakeWindowFunctions::sendClose(WindowHandle window) {
  log_.add("close " + std::to_string(window));
  FakeWindow* w = find(window);
  if (!w) fail("no such window");
  if (!w->refusesClose) w->open = false;
}

}  // namespace zelvo::test
