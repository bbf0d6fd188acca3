// Gives an integration test program its own runtime and cache folders, so the engines'
// sockets and caches never mix with the user's or another test program's.
#pragma once

#include <string>

namespace zelvo::test {

// Points XDG_RUNTIME_DIR and XDG_CACHE_HOME at fresh private folders (removed at exit),
// selects the offscreen window system and the build's modules unless they are chosen already.
void prepareTestEnvironment();

}  // namespace zelvo::test
