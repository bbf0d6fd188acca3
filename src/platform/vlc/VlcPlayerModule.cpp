// The libVLC player module: the window's primary player with its video area and controls.
#include "platform/ModuleEntries.h"
#include "platform/vlc/VlcWindowsMediaPlayer.h"

ZELVO_MODULE_ENTRY zelvo::ModulePart<zelvo::WindowsMediaPlayer>* zelvoMakePrimaryPlayer(
    const zelvo::EngineSettings& settings) {
  using Part = zelvo::ComponentPart<zelvo::WindowsMediaPlayer, zelvo::VlcWindowsMediaPlayer>;
  return zelvo::makePart<Part>(zelvo::VlcPlayerOptions{settings.watchdogMs, settings.vlcArguments});
}
