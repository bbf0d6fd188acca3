#include "check/ProbeRoute.h"

#include "formats/StationAddress.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

// The URL's path, without the query, the fragment or the request headers after "|".
std::string pathPart(const std::string& address) {
  const std::string url(addressUrl(address));
  return url.substr(0, url.find_first_of("?#"));
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
