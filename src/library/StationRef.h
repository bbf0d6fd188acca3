// A station as the lists beside the library name it: its name and its address (with any request
// headers after "|"), as the station files hold them.
#pragma once

#include <string>

namespace zelvo {

struct StationRef {
  std::string name;
  std::string address;
  bool operator==(const StationRef&) const = default;
};

}  // namespace zelvo
