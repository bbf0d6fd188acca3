// Xlib and XTest calls of the X client for tests. Every operation ends with XSync, so the
// server has handled the request before the test goes on.
#include "support/XClient.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/Waiting.h"
#include "support/XProperties.h"

namespace zelvo::test {

XClient::XClient(const std::string& display) {
  ignoreXErrors();
  display_ = XOpenDisplay(display.c_str());
  if (!display_) throw std::runtime_error("cannot open X display " + display);
}

XClient::~XClient() {
  if (display_) XCloseDisplay(display_);
}

unsigned long XClient::waitForWindow(pid_t pid, const std::string& title, int timeoutMs) {
  unsigned long window = 0;
  waitUntil([&] { return (window = findWindow(pid, title)) != 0; }, timeoutMs, 50);
  return window;
}

bool XClient::clickUntil(unsigned long window, int x, int y, const std::function<bool()>& done,
                         int retryMs, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < deadline) {
    click(window, x, y);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (waitUntil(done, std::min<int>(retryMs, left.count()), 100)) return true;
  }
  return done();
}

unsigned long XClient::findWindow(pid_t pid, const std::string& title) {
  Window root = DefaultRootWindow(display_), parent, *children = nullptr;
  unsigned int count = 0;
  unsigned long found = 0;
  if (!XQueryTree(display_, root, &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, children[i], &attributes)) continue;
    if (attributes.map_state != IsViewable) continue;
    if (cardinalProperty(display_, children[i], "_NET_WM_PID") != pid) continue;
    if (windowTitle(display_, children[i]) == title) found = children[i];
  }
  if (children) XFree(children);
  return found;
}

void XClient::click(unsigned long window, int x, int y, unsigned button) {
  moveTo(window, x, y);
  setButton(button, true);
  setButton(button, false);
}

void XClient::moveTo(unsigned long window, int x, int y) {
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                        &child);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
  XSync(display_, False);
}

void XClient::setButton(unsigned button, bool down) {
  XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
  XSync(display_, False);
}

void XClient::pressKey(unsigned long window, const std::string& keysym, bool control) {
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  XSync(display_, False);
  // The toolkit activates its window once it hears of the focus.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const KeyCode controlKey = XKeysymToKeycode(display_, XK_Control_L);
  const KeyCode key = XKeysymToKeycode(display_, XStringToKeysym(keysym.c_str()));
  if (control) XTestFakeKeyEvent(display_, controlKey, True, CurrentTime);
  XTestFakeKeyEvent(display_, key, True, CurrentTime);
  XTestFakeKeyEvent(display_, key, False, CurrentTime);
  if (control) XTestFakeKeyEvent(display_, controlKey, False, CurrentTime);
  XSync(display_, False);
}

void XClient::requestClose(unsigned long window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XSync(display_, False);
}

std::vector<uint32_t> XClient::pixels(unsigned long window, int x, int y, int width, int height) {
  std::vector<uint32_t> colours;
  int rootX = 0, rootY = 0;
  Window child;
  Window root = DefaultRootWindow(display_);
  XTranslateCoordinates(display_, window, root, x, y, &rootX, &rootY, &child);
  XImage* image = XGetImage(display_, root, rootX, rootY, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return colours;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column)
      colours.push_back(static_cast<uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF));
  }
  XDestroyImage(image);
  return colours;
}

std::string XClient::describeScreen(const std::string& screenshotPath) {
  std::ostringstream text;
  Window root = DefaultRootWindow(display_), parent, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display_, root, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes a;
      if (!XGetWindowAttributes(display_, children[i], &a)) continue;
      text << "window " << children[i] << " pid "
           << cardinalProperty(display_, children[i], "_NET_WM_PID") << " \""
           << windowTitle(display_, children[i]) << "\" " << a.width << "x" << a.height << "+"
           << a.x << "+" << a.y << (a.map_state == IsViewable ? " shown" : " hidden") << "\n";
    }
    if (children) XFree(children);
  }
  if (!screenshotPath.empty()) {
    XWindowAttributes screen;
    XGetWindowAttributes(display_, root, &screen);
    const std::vector<uint32_t> all = pixels(root, 0, 0, screen.width, screen.height);
    std::ofstream out(screenshotPath, std::ios::binary);
    out << "P6\n" << screen.width << " " << screen.height << "\n255\n";
    for (uint32_t rgb : all) out << char(rgb >> 16) << char(rgb >> 8) << char(rgb);
    text << "screen saved as " << screenshotPath << "\n";
  }
  return text.str();
}

}  // namespace zelvo::test
