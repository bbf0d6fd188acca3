// A strict reader for one JSON object whose values are all strings, such as the request headers
// of an #EXTHTTP playlist line: no library, and anything else is refused whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvo {

// The members in their order, names and values decoded to UTF-8 (\uXXXX escapes and surrogate
// pairs included). Nothing when the text is not exactly one such object with blanks around it.
std::optional<std::vector<std::pair<std::string, std::string>>> readFlatJsonObject(
    std::string_view text);

// The text as a JSON string, quotes included; control characters as \u00XX.
std::string jsonString(std::string_view text);

}  // namespace zelvo
