// Which of libVLC's video outputs the window's player may use on this screen.
#pragma once

#include <string>
#include <vector>

namespace zelvo::vlc {

// libVLC arguments that choose the video output:
// - without an X window to hand over (offscreen, Wayland), no picture at all, or libVLC would
//   open a window of its own;
// - on an X server that renders OpenGL in software only (no DRI), the X11 outputs instead of
//   OpenGL. Mesa's software renderer keeps part of the state of every X connection that
//   libVLC's OpenGL output opens, one for each stream, until the program ends; and drawing
//   through it costs more processor than handing the picture to the server.
std::vector<std::string> videoOutputArguments();

}  // namespace zelvo::vlc
