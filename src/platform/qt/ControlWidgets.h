// The Qt widget that draws one control model: what the user does to the widget reaches the
// model as its events, and sync shows the model's state on the widget again.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/Control.h"

namespace zelvo {

struct ControlWidget {
  QWidget* widget = nullptr;
  // Shows the model's own state (rows, text, caption, check); null where there is none.
  std::function<void()> sync;
};

// The widget for control, a child of parent. A control that draws nothing of its own (the
// players' and the browser's host) becomes a black area with a layout for an engine's widget.
ControlWidget makeControlWidget(Control& control, QWidget* parent);

}  // namespace zelvo
