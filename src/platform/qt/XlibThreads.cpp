// Apart from the Qt code: Xlib's macros clash with Qt's headers (Status, Bool, None).
#include "platform/qt/XlibThreads.h"

#include <X11/Xlib.h>

namespace zelvo {

void prepareXlibThreads() { XInitThreads(); }

}  // namespace zelvo
