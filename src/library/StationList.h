// The station list: the parallel rows of tvm (names) and dz1 (addresses), kept in step.
#pragma once

#include <string>

#include "form/FormControls.h"

namespace zelvo {

// Adds one station at index in both lists, or in neither. Fails when the list is full.
void addStationRow(FormControls& c, const std::string& name, const std::string& address, int index);
// Removes row index from both lists.
void removeStationRow(FormControls& c, int index);
void clearStationList(FormControls& c);
int stationRowCount(const FormControls& c);
// Shows row index in both selectors: tvm's text (which fires its Change), then dz1's, each on its
// own. A row outside the list shows as empty text.
void showStationRow(FormControls& c, int index);
// The first row of tvm that reads name, ignoring letter case; -1 when there is none.
int firstRowNamed(const FormControls& c, const std::string& name);

}  // namespace zelvo
