// Stand-ins for the players and the browser: the window works on these from the start, and each
// brings its module up when it is first needed, so the window never waits for an engine.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ModuleEntries.h"
#include "platform/ModuleSlot.h"

namespace zelvo {

// A module slot whose part has a widget: the slot's area stands in the window from the start, and
// the component's widget goes into it when the component comes up.
template <class Contract>
class WidgetModuleSlot : public ModuleSlot<Contract, ModulePart<Contract>> {
 public:
  using Make = typename ModuleSlot<Contract, ModulePart<Contract>>::Make;
  WidgetModuleSlot(const ModuleName& module, Make make);
  ~WidgetModuleSlot();

  // The area in the window that the component's widget goes into once it is up.
  QWidget* area() const { return area_.data(); }
  // Takes the component's widget out of the area, so that the window going does not take it.
  void release();

 private:
  QPointer<QWidget> area_;
};

// The primary player. Settings made before the module is up are applied when it comes up; reads
// answer as an empty player does; everything else brings the module up.
class PrimaryPlayerProxy : public WindowsMediaPlayer {
 public:
  explicit PrimaryPlayerProxy(const EngineSettings& settings);

  WidgetModuleSlot<WindowsMediaPlayer>& module() { return slot_; }
  QWidget* widget() const { return slot_.area(); }

  void setURL(const std::string& address) override;
  std::string URL() const override;
  void close() override;
  void play() override;
  void pause() override;
  void stop() override;
  void setPlayCount(int count) override;
  int playState() const override;
  std::string versionInfo() const override;
  std::string durationString() const override;
  std::string sourceURL() const override;
  int errorCount() const override;
  PlayerError errorItem(int index) const override;
  void clearErrorQueue() override;
  void startRecording(const std::string& path) override;
  void stopRecording() override;
  std::vector<MediaTrack> tracks() const override;
  void selectTrack(TrackKind kind, int id) override;

 private:
  WindowsMediaPlayer& engine() const { return slot_.get(); }

  mutable WidgetModuleSlot<WindowsMediaPlayer> slot_;
};

// The fallback player, on the same terms as the primary one.
class FallbackPlayerProxy : public RealPlayer {
 public:
  explicit FallbackPlayerProxy(const EngineSettings& settings);

  WidgetModuleSlot<RealPlayer>& module() { return slot_; }
  QWidget* widget() const { return slot_.area(); }

  void setSource(const std::string& address) override;
  std::string source() const override;
  void doPlay() override;
  void doPause() override;
  void doStop() override;
  void clearQueuedClips() override;
  void setAutoStart(bool on) override;
  void setWantErrors(bool on) override;
  void setCacheSeconds(int32_t seconds) override;
  void setMaintainAspect(bool on) override;
  void setVideoEnabled(bool on) override;
  void setAudioEnabled(bool on) override;
  void setWantStatusEvents(bool on) override;
  std::string versionInfo() const override;
  int playState() const override;
  int32_t lengthMs() const override;
  std::string lastStatus() const override;
  void showImageWindow() override;
  void startRecording(const std::string& path) override;
  void stopRecording() override;
  std::vector<MediaTrack> tracks() const override;
  void selectTrack(TrackKind kind, int id) override;

 private:
  RealPlayer& engine() const { return slot_.get(); }

  mutable WidgetModuleSlot<RealPlayer> slot_;
};

// The browser, whose module (and QtWebEngine's processes) comes up with the first page.
class BrowserProxy : public WebBrowser {
 public:
  BrowserProxy();

  WidgetModuleSlot<WebBrowser>& module() { return slot_; }
  QWidget* widget() const { return slot_.area(); }
  bool started() const { return slot_.up(); }
  // Local pages in this folder may load remote content; takes effect when the browser comes up.
  void allowRemoteContentForPagesIn(const std::string& folder) { remoteContentFolder_ = folder; }

  void navigate(const std::string& address) override;
  void stop() override;
  std::string locationURL() const override;
  std::vector<std::string> anchors() const override;

 private:
  mutable WidgetModuleSlot<WebBrowser> slot_;
  std::string remoteContentFolder_;
};

}  // namespace zelvo
