#include "check/ProbeRoute.h"

#include "formats/TextCase.h"

namespace zelvo {

namespace {

std::string pathPart(const std::string& address) {
  return address.substr(0, address.find_first_of("?#|"));
}

bool endsWithIgnoringCase(const std::string& text, std::string_view lowerSuffix) {
  if (text.size() < lowerSuffix.size()) return false;
  return containsIgnoringCase(std::string_view(text).substr(text.size() - lowerSuffix.size()),
                              lowerSuffix);
}

}  // namespace

ProbeEngine firstEngineFor(const std::string& address) {
  return endsWithIgnoringCase(pathPart(address), ".asx") ? ProbeEngine::Vlc : ProbeEngine::Mpv;
}

ProbeEngine otherEngine(ProbeEngine tried) {
  return tried == ProbeEngine::Mpv ? ProbeEngine::Vlc : ProbeEngine::Mpv;
}

const char* engineName(ProbeEngine engine) { return engine == ProbeEngine::Mpv ? "mpv" : "vlc"; }

}  // namespace zelvo
