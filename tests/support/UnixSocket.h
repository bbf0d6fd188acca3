// Sends a line to a Unix socket, as an outside program talking to an engine's control socket.
#pragma once

#include <string>

namespace zelvo::test {

// Connects (waiting up to a second for the socket to appear), sends text and closes.
bool sendToUnixSocket(const std::string& path, const std::string& text);

}  // namespace zelvo::test
