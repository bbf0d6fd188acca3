// The libmpv player module: the window's fallback player with its video area.
#include "platform/ModuleEntries.h"
#include "platform/mpv/MpvRealPlayer.h"

ZELVO_MODULE_ENTRY zelvo::ModulePart<zelvo::RealPlayer>* zelvoMakeFallbackPlayer(
    const zelvo::EngineSettings& settings) {
  using Part = zelvo::ComponentPart<zelvo::RealPlayer, zelvo::MpvRealPlayer>;
  return zelvo::makePart<Part>(zelvo::MpvPlayerOptions{settings.watchdogMs, settings.mpvOptions});
}
