// "zelvo --check": checks every station of a station file or playlist with headless players,
// without a window or a display, and writes the live ones.
#pragma once

#include "check/CheckRequest.h"

namespace zelvo {

// Runs the check to its end or to Ctrl+C (SIGINT, SIGTERM, SIGHUP) and returns the exit
// status: 0 done, 1 could not be done, 2 a wrong request, 130 interrupted. Uses the running
// QCoreApplication, or makes one; needs no display.
int runStationCheck(const CheckRequest& request);

}  // namespace zelvo
