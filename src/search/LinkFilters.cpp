#include "search/LinkFilters.h"

#include "formats/TextCase.h"

namespace zelvo {

namespace {
constexpr std::string_view kStreamMarkers[] = {"mms://", "rtsp://", ".asx", ".ram", ".wmv", ".rm"};
constexpr const char* kResultPageQuery = "baidu?lm=0&si=&rn=10&tn=baidu&ie=gb2312&ct=0&word=";
}  // namespace

std::string resultPagePrefix(const std::string& searchHome) {
  return toLowerAscii(searchHome + kResultPageQuery);
}

bool isStreamLink(std::string_view link) {
  for (std::string_view marker : kStreamMarkers) {
    if (containsIgnoringCase(link, marker)) return true;
  }
  return false;
}

bool passesLinkFilters(std::string_view link, std::string_view lowerResultPrefix) {
  if (link.find('@') != std::string_view::npos) return false;
  if (containsIgnoringCase(link, "microsoft")) return false;
  return !containsIgnoringCase(link, "baidu") || containsIgnoringCase(link, lowerResultPrefix);
}

bool isWebPageLink(std::string_view link) {
  return startsWithIgnoringCase(link, "http://") || startsWithIgnoringCase(link, "https://");
}

}  // namespace zelvo
