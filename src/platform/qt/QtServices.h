// The window toolkit's services on Qt Widgets: message boxes, beside the QtCore ones (letting
// pending events run, ending the process, the window's timers).
#pragma once

#include "platform/MessageBoxes.h"
#include "platform/qt/QtCoreServices.h"

namespace zelvo {

class QtMessageBoxes : public MessageBoxes {
 public:
  void show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

}  // namespace zelvo
