#include "library/StationEditing.h"

#include "form/FormControls.h"
#include "form/SharedState.h"
#include "library/StationFiles.h"
#include "library/StationList.h"
#include "platform/Steps.h"

namespace zelvo {

void StationEditing::connect() {
  x_.c.Command3.click.connect([this] { step([&] { AddClicked(); }); });
  x_.c.Command12.click.connect([this] { step([&] { RemoveClicked(); }); });
}

void StationEditing::AddClicked() {
  FormControls& c = x_.c;
  const std::string name = c.tvm.text();
  files_.StoreCurrentStation();
  files_.LoadStationFile(kLibraryFile);
  int k = 0;
  for (int i = 0; i < c.tvm.count(); ++i) {
    if (c.tvm.row(i) == name) {
      k = i;
      break;
    }
  }
  showStationRow(c, k);
  // The station played before goes on, and its next state puts the last expanded address
  // back into dz1: that must now be the address of the row shown.
  x_.s.lastTemplate = c.dz1.text();
}

void StationEditing::RemoveClicked() {
  FormControls& c = x_.c;
  const int i = firstRowNamed(c, c.tvm.text());
  if (i < 0) return;
  step([&] { playback_.StopAll(); });
  step([&] { removeStationRow(c, i); });
  showStationRow(c, i);
  // The player reports the stop after this reaction: what it puts back into dz1 is the
  // address of the row now shown, not that of the removed station.
  x_.s.lastTemplate = c.dz1.text();
}

}  // namespace zelvo
