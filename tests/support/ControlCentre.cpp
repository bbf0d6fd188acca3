// Design rectangles in twips turned into the window's pixels, as the window's view places them.
#include "support/ControlCentre.h"

#include "platform/qt/QtFormView.h"

namespace zelvo::test {

const FormControls& designControls() {
  static const FormControls controls;
  return controls;
}

Pixel centreOf(const Control& control) {
  const TwipRect r = control.rect();
  return {(r.left + r.width / 2) / kTwipsPerPixel, (r.top + r.height / 2) / kTwipsPerPixel};
}

}  // namespace zelvo::test
