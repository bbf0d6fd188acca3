// The station list: the parallel rows of tvm (names) and dz1 (addresses), kept in step.
#pragma once

#include <string>

#include "form/FormControls.h"

namespace zelvo {

inline constexpr const char* kSeparatorRow = "-------------";

// Adds one station at index in both lists, or in neither. Fails when the list is full.
void addStationRow(FormControls& c, const std::string& name, const std::string& address, int index);
void clearStationList(FormControls& c);
int stationRowCount(const FormControls& c);

}  // namespace zelvo
