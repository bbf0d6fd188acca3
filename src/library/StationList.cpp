#include "library/StationList.h"

#include "platform/Failure.h"
#include "platform/Steps.h"

namespace zelvo {

void addStationRow(FormControls& c, const std::string& name, const std::string& address,
                   int index) {
  c.tvm.addItem(name, index);
  try {
    c.dz1.addItem(address, index);
  } catch (const PlatformFailure&) {
    c.tvm.removeItem(index);
    throw;
  }
}

void removeStationRow(FormControls& c, int index) {
  if (index < 0 || index >= c.tvm.count() || index >= c.dz1.count())
    fail("no station row " + std::to_string(index));
  c.tvm.removeItem(index);
  c.dz1.removeItem(index);
}

void clearStationList(FormControls& c) {
  c.tvm.clear();
  c.dz1.clear();
}

int stationRowCount(const FormControls& c) { return c.dz1.count(); }

void showStationRow(FormControls& c, int index) {
  step([&] { c.tvm.setText(c.tvm.row(index)); });
  step([&] { c.dz1.setText(c.dz1.row(index)); });
}

int firstRowNamed(const FormControls& c, const std::string& name) {
  return c.tvm.firstRowIgnoringCase(name);
}

}  // namespace zelvo
