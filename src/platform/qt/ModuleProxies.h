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
#include "platform/posix/ModuleLibrary.h"

namespace zelvo {

// One module's component behind a stand-in: the module is opened on a worker thread, the
// component made on the UI thread when first needed and shown inside the stand-in's area.
template <class Contract>
class ModuleSlot {
 public:
  using Make = std::function<ModulePart<Contract>*(void* entry)>;
  ModuleSlot(const ModuleName& name, Make make);
  ~ModuleSlot();
  ModuleSlot(const ModuleSlot&) = delete;
  ModuleSlot& operator=(const ModuleSlot&) = delete;

  // Starts opening the module in the background.
  void preload() { opening_.begin(); }
  bool up() const { return part_ != nullptr; }
  // The component, made now if need be. Throws PlatformFailure when the module cannot be had,
  // after onUnavailable has heard why.
  Contract& get();
  // The area in the window that the component's widget goes into once it is up.
  QWidget* area() const { return area_.data(); }
  // Takes the component's widget out of the area, so that the window going does not take it.
  void release();

  // A setting for the component: applied now when it is up, otherwise when it comes up.
  void apply(std::function<void(Contract&)> setting);

  // Runs once, right after the component is made, before the settings given earlier.
  std::function<void(Contract&)> onUp;
  std::function<void(const std::string& problem)> onUnavailable;

 private:
  ModuleName name_;
  Make make_;
  ModuleOpening opening_;
  std::unique_ptr<ModulePart<Contract>> part_;
  QPointer<QWidget> area_;
  std::string problem_;
  bool making_ = false;
  std::vector<std::function<void(Contract&)>> earlySettings_;
};

// The primary player. Settings made before the module is up are applied when it comes up; reads
// answer as an empty player does; everything else brings the module up.
class PrimaryPlayerProxy : public WindowsMediaPlayer {
 public:
  explicit PrimaryPlayerProxy(const EngineSettings& settings);

  ModuleSlot<WindowsMediaPlayer>& module() { return slot_; }
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

 private:
  WindowsMediaPlayer& engine() const { return slot_.get(); }

  mutable ModuleSlot<WindowsMediaPlayer> slot_;
};

// The fallback player, on the same terms as the primary one.
class FallbackPlayerProxy : public RealPlayer {
 public:
  explicit FallbackPlayerProxy(const EngineSettings& settings);

  ModuleSlot<RealPlayer>& module() { return slot_; }
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

 private:
  RealPlayer& engine() const { return slot_.get(); }

  mutable ModuleSlot<RealPlayer> slot_;
};

// The browser, whose module (and QtWebEngine's processes) comes up with the first page.
class BrowserProxy : public WebBrowser {
 public:
  BrowserProxy();

  ModuleSlot<WebBrowser>& module() { return slot_; }
  QWidget* widget() const { return slot_.area(); }
  bool started() const { return slot_.up(); }
  // Local pages in this folder may load remote content; takes effect when the browser comes up.
  void allowRemoteContentForPagesIn(const std::string& folder) { remoteContentFolder_ = folder; }

  void navigate(const std::string& address) override;
  void stop() override;
  std::string locationURL() const override;
  std::vector<std::string> anchors() const override;

 private:
  mutable ModuleSlot<WebBrowser> slot_;
  std::string remoteContentFolder_;
};

}  // namespace zelvo
