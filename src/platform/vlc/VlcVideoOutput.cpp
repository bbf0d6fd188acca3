#include "platform/vlc/VlcVideoOutput.h"

#include <strings.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

// After the Qt headers, which refuse to follow Xlib.
#include <X11/Xlib.h>

namespace zelvo::vlc {

namespace {

// Read as Mesa reads it: only these words turn it on.
bool softwareRenderingAsked() {
  const char* value = std::getenv("LIBGL_ALWAYS_SOFTWARE");
  if (!value) return false;
  if (std::strcmp(value, "1") == 0) return true;
  for (const char* yes : {"true", "y", "yes"})
    if (strcasecmp(value, yes) == 0) return true;
  return false;
}

// Mesa draws with the graphics card only through DRI3 or DRI2; an X server without either
// (Xvfb, Xvnc, most remote displays) gets the software renderer.
bool serverHasDirectRendering(Display* display) {
  int opcode = 0, event = 0, error = 0;
  return XQueryExtension(display, "DRI3", &opcode, &event, &error) ||
         XQueryExtension(display, "DRI2", &opcode, &event, &error);
}

}  // namespace

std::vector<std::string> videoOutputArguments() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return {"--vout=dummy"};
  // "none" leaves libVLC's OpenGL outputs without a context, so it goes on to XVideo or X11.
  if (softwareRenderingAsked() || !serverHasDirectRendering(display))
    return {"--gl=none", "--gles2=none"};
  return {};
}

}  // namespace zelvo::vlc
