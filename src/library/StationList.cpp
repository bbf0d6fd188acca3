#include "library/StationList.h"

#include "platform/Failure.h"

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

void clearStationList(FormControls& c) {
  c.tvm.clear();
  c.dz1.clear();
}

int stationRowCount(const FormControls& c) { return c.dz1.count(); }

}  // namespace zelvo
