// Waiting with a bound for what a test expects: in a test with a Qt application, the events
// run while it waits; in one that only drives other processes, it sleeps between looks.
#pragma once

#include <functional>

namespace zelvo::test {

// Looks at condition every pollMs until it holds (true) or timeoutMs pass (false, after a last
// look).
bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int pollMs = 5);

// Lets the events run (or sleeps, without an application) for the given time.
void processEventsFor(int milliseconds);

}  // namespace zelvo::test
