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

}  // namespace zelvo::test
