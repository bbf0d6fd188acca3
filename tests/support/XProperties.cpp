#include "support/XProperties.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zelvo::test {

long cardinalProperty(Display* display, unsigned long window, const char* name) {
  const Atom property = XInternAtom(display, name, True);
  if (property == None) return -1;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  long value = -1;
  if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data && count == 1 && format == 32)
    value = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return value;
}

std::string windowTitle(Display* display, unsigned long window) {
  std::string title;
  XTextProperty text{};
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  if (XGetTextProperty(display, window, &text, netName) && text.value) {
    title.assign(reinterpret_cast<char*>(text.value), text.nitems);
    XFree(text.value);
  }
  if (!title.empty()) return title;
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

void ignoreXErrors() {
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

}  // namespace zelvo::test
