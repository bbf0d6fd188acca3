// The shared entry of the integration test programs: a private environment, a Qt
// application for the real components, and waiting on the event loop with a bound.
#pragma once

#include "support/Waiting.h"

namespace zelvo::test {

// Prepares the environment, creates the application, runs the tests and returns their result.
// Call it from main().
int runIntegrationTests(int argc, char** argv);

// The same for tests that only start the program as a process of its own: a private
// environment, and no Qt application in the test itself.
int runProgramTests(int argc, char** argv);

class XvfbServer;
// runIntegrationTests with the toolkit on a private X server (xcb), for tests that give the
// window real X input; they reach the server through privateXServer().
int runIntegrationTestsOnXvfb(int argc, char** argv);
const XvfbServer& privateXServer();

}  // namespace zelvo::test
