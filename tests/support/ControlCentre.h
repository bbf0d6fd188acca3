// Where a user clicks a control of the main window: the centre of the control's design
// rectangle, in the window's pixels, so tests follow the window's layout instead of numbers.
#pragma once

#include "form/FormControls.h"

namespace zelvo::test {

struct Pixel {
  int x = 0;
  int y = 0;
};

// The window's controls at their design places, to pick a control from.
const FormControls& designControls();

// The centre of the control, in pixels from the top left of the window's client area.
Pixel centreOf(const Control& control);

}  // namespace zelvo::test
