// The libVLC probe module: a headless stream probe on QtCore alone, for the station check.
#include "platform/ModuleEntries.h"
#include "platform/vlc/VlcStreamProbe.h"

ZELVO_MODULE_ENTRY zelvo::StreamProbe* zelvoMakeStreamProbe() {
  return zelvo::makePart<zelvo::VlcStreamProbe>();
}
