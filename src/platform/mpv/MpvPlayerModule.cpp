// The libmpv player module: the window's fallback player with its video area.
#include "platform/ModuleEntries.h"
#include "platform/mpv/MpvRealPlayer.h"

namespace zelvo {
namespace {

class MpvPlayerPart : public ModulePart<RealPlayer> {
 public:
  explicit MpvPlayerPart(const EngineSettings& settings)
      : player_(MpvPlayerOptions{settings.watchdogMs, settings.mpvOptions}) {}
  RealPlayer& contract() override { return player_; }
  QWidget* widget() override { return player_.widget(); }

 private:
  MpvRealPlayer player_;
};

}  // namespace
}  // namespace zelvo

ZELVO_MODULE_ENTRY zelvo::ModulePart<zelvo::RealPlayer>* zelvoMakeFallbackPlayer(
    const zelvo::EngineSettings& settings) {
  try {
    return new zelvo::MpvPlayerPart(settings);
  } catch (...) {
    return nullptr;
  }
}
