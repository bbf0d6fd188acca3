// The watch listens to the root window's structure events: every MapNotify of a child of the
// root is a top-level window being shown, read at once while it still exists.
#include "support/TopLevelWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

#include "support/XProperties.h"

namespace zelvo::test {

TopLevelWatch::TopLevelWatch(const std::string& display) {
  ignoreXErrors();
  display_ = XOpenDisplay(display.c_str());
  if (!display_ || pipe(wakeUp_) != 0)
    throw std::runtime_error("cannot watch X display " + display);
  const Window root = DefaultRootWindow(display_);
  XSelectInput(display_, root, SubstructureNotifyMask);
  Window rootReturn, parent, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display_, root, &rootReturn, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display_, children[i], &attributes) &&
          attributes.map_state != IsUnmapped)
        record(children[i], attributes.override_redirect);
    }
    if (children) XFree(children);
  }
  thread_ = std::thread([this] { run(); });
}

TopLevelWatch::~TopLevelWatch() {
  if (thread_.joinable()) {
    (void)!write(wakeUp_[1], "x", 1);
    thread_.join();
  }
  for (int fd : wakeUp_)
    if (fd >= 0) close(fd);
  if (display_) XCloseDisplay(display_);
}

std::vector<TopLevelWindow> TopLevelWatch::shown() const {
  std::lock_guard lock(mutex_);
  return shown_;
}

void TopLevelWatch::run() {
  const Window root = DefaultRootWindow(display_);
  pollfd sources[] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeUp_[0], POLLIN, 0}};
  for (;;) {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == MapNotify && event.xmap.event == root)
        record(event.xmap.window, event.xmap.override_redirect);
    }
    if (poll(sources, 2, -1) < 0 || (sources[1].revents & POLLIN)) return;
  }
}

void TopLevelWatch::record(unsigned long window, bool overrideRedirect) {
  TopLevelWindow seen;
  seen.id = window;
  seen.overrideRedirect = overrideRedirect;
  seen.title = windowTitle(display_, window);
  seen.pid = cardinalProperty(display_, window, "_NET_WM_PID");
  Window owner = 0;
  seen.transient = XGetTransientForHint(display_, window, &owner) && owner != 0;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes)) seen.title = "(gone)";
  std::lock_guard lock(mutex_);
  shown_.push_back(seen);
}

std::string TopLevelWatch::strays(unsigned long mainWindow) const {
  std::string lines;
  for (const TopLevelWindow& window : shown()) {
    if (window.id == mainWindow || window.transient || window.overrideRedirect) continue;
    lines += "\"" + window.title + "\" (pid " + std::to_string(window.pid) + ")\n";
  }
  return lines;
}

}  // namespace zelvo::test
