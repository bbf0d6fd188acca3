// The libVLC player module: the window's primary player with its video area and controls.
#include "platform/ModuleEntries.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"

namespace zelvo {
namespace {

class VlcPlayerPart : public ModulePart<WindowsMediaPlayer> {
 public:
  explicit VlcPlayerPart(const EngineSettings& settings)
      : player_(VlcPlayerOptions{settings.watchdogMs, settings.vlcArguments}) {}
  WindowsMediaPlayer& contract() override { return player_; }
  QWidget* widget() override { return player_.widget(); }

 private:
  VlcWindowsMediaPlayer player_;
};

}  // namespace
}  // namespace zelvo

ZELVO_MODULE_ENTRY zelvo::ModulePart<zelvo::WindowsMediaPlayer>* zelvoMakePrimaryPlayer(
    const zelvo::EngineSettings& settings) {
  try {
    return new zelvo::VlcPlayerPart(settings);
  } catch (...) {
    return nullptr;
  }
}
