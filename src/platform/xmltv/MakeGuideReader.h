// The guide reader that the window and the command line use: a stand-in that opens the reader's
// module on the first read or logo, and says so through its events when the module is missing.
#pragma once

#include <memory>

#include "platform/GuideReader.h"
#include "platform/xmltv/GuideReaderSettings.h"

namespace zelvo {

// Needs a running QCoreApplication on the calling thread; its events come on that thread.
std::unique_ptr<GuideReader> makeGuideReader(const GuideReaderSettings& settings = {});

}  // namespace zelvo
