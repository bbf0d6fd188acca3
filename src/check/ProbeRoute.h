// Which headless player checks an address first, and whether the other may try after it:
// libmpv plays almost everything but reads no ASX playlists; libVLC reads them.
#pragma once

#include <string>

namespace zelvo {

enum class ProbeEngine { Mpv, Vlc };

// An ASX playlist (by its file name, query and fragment ignored) goes to libVLC, anything
// else to libmpv.
ProbeEngine firstEngineFor(const std::string& address);

// The engine that tries an address after `tried` said it did not understand what came.
ProbeEngine otherEngine(ProbeEngine tried);

const char* engineName(ProbeEngine engine);

}  // namespace zelvo
