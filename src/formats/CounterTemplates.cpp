#include "formats/CounterTemplates.h"

#include "formats/StationAddress.h"
#include "formats/TextRules.h"

namespace zelvo {

size_t firstPercentPosition(std::string_view text) {
  const size_t found = addressUrl(text).find('%');
  return found == std::string_view::npos ? 0 : found + 1;
}

bool holdsPercentFrom(std::string_view text, size_t position) {
  return position >= 1 && addressUrl(text).find('%', position - 1) != std::string_view::npos;
}

bool isAnyTwoPercentTemplate(std::string_view text) {
  return holdsPercentFrom(text, firstPercentPosition(text) + 1);
}

bool isNumberedCounterTemplate(std::string_view address) {
  address = addressUrl(address);
  const size_t first = address.find('%');
  if (first == std::string_view::npos) return false;
  const size_t second = address.find('%', first + 1);
  return second != std::string_view::npos &&
         parseNumber(address.substr(first + 1, second - first - 1)).has_value();
}

}  // namespace zelvo
