// What QtWebEngine reads when the process starts, kept apart from the browser so that the window
// can set it before the QApplication exists without loading QtWebEngine.
#pragma once

namespace zelvo {

// Call before the QApplication is made.
void prepareBrowserProcess();

}  // namespace zelvo
