#include "fakes/FakePlatform.h"

#include "platform/Failure.h"

namespace zelvo::test {

void FailureSwitch::check(const std::string& call) const {
  if (failing_.count(call)) fail(call + " refused");
}

void FakeWindowsMediaPlayer::record(const std::string& call) const {
  log_.add(call);
  failures_.check(call.substr(0, call.find(' ')));
}

void FakeWindowsMediaPlayer::setURL(const std::string& address) {
  record("wmp.URL " + address);
  url_ = address;
  state = WmpState::Transitioning;
}
void FakeWindowsMediaPlayer::close() {
  record("wmp.close");
  url_.clear();
  state = WmpState::Ready;
}
void FakeWindowsMediaPlayer::play() { record("wmp.play"); }
void FakeWindowsMediaPlayer::pause() { record("wmp.pause"); }
void FakeWindowsMediaPlayer::stop() { record("wmp.stop"); }
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

void FakeRealPlayer::record(const std::string& call) const {
  log_.add(call);
  failures_.check(call.substr(0, call.find(' ')));
}
void FakeRealPlayer::setSource(const std::string& address) {
  record("real.setSource " + address);
  source_ = address;
}
std::string FakeRealPlayer::source() const { return source_; }
void FakeRealPlayer::doPlay() { record("real.doPlay"); }
void FakeRealPlayer::doPause() { record("real.doPause"); }
void FakeRealPlayer::doStop() { record("real.doStop"); }
void FakeRealPlayer::clearQueuedClips() { record("real.clearQueuedClips"); }
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
int FakeRealPlayer::playState() const { return state; }
int32_t FakeRealPlayer::lengthMs() const { return length; }
std::string FakeRealPlayer::lastStatus() const { return status; }

void FakeWebBrowser::navigate(const std::string& address) {
  log_.add("browser.navigate " + address);
  failures_.check("browser.navigate");
  location_ = address;
}
void FakeWebBrowser::stop() {
  log_.add("browser.stop");
  failures_.check("browser.stop");
}
std::string FakeWebBrowser::locationURL() const { return location_; }

void FakeMessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
  log_.add("message " + text);
  shown.push_back({text, title, icon});
}

}  // namespace zelvo::test
