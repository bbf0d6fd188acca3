// Starting, feeding and ending a libmpv engine, the same for the player and the probe: the
// options every engine of ours needs, the event drain, loading an address and mpv's log lines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "formats/StationAddress.h"

struct mpv_handle;
struct mpv_event;
struct mpv_event_log_message;

namespace zelvo::mpv {

using EngineOptions = std::vector<std::pair<std::string, std::string>>;

// A started engine with our common options, then these in order; mpv's log from logLevel up
// comes as events. Null when mpv does not start.
mpv_handle* startEngine(const EngineOptions& options, const char* logLevel);
// Waits for the engine's threads; no wakeup callback runs once this has begun.
void destroyEngine(mpv_handle* handle);

// Handles each event mpv has queued until none is left, each behind its own guard. The engine
// shutting down ends the drain and goes to shutDown instead. Rereads handle after every event:
// a handler may let go of the engine.
void drainEvents(mpv_handle* const& handle, const std::function<void(const mpv_event&)>& onEvent,
                 const std::function<void()>& shutDown);

// Replaces whatever plays with address, unpaused, sending headers with every request of its
// stream (the playlist, each segment, each redirect) and nothing of the previous address's.
// Gives mpv's error code (negative) or 0, and in entryId the playlist entry of the address (0
// when mpv did not say: the next to start).
int loadFile(mpv_handle* handle, const std::string& address, const RequestHeaders& headers,
             int64_t& entryId);
// Whether one of mpv's log lines says a server refused the request (HTTP 403).
bool saysRefused(const std::string& line);
// Asks the engine to let go of what it plays; it does not wait for a stuck connection.
void stopPlayback(mpv_handle* handle);

// One of mpv's log messages as a line: "prefix: text", without its line end.
std::string logLine(const mpv_event_log_message& message);

}  // namespace zelvo::mpv
