// How a link of a web page is sorted: dropped, a stream (a new station) or a page to visit.
#pragma once

#include <string>
#include <string_view>

namespace zelvo {

// The beginning of every result page of a query on the search engine, in lower case.
std::string resultPagePrefix(const std::string& searchHome);
// A link that names a streaming protocol or a stream or playlist file anywhere in its text.
bool isStreamLink(std::string_view link);
// False for links with "@" or "microsoft", and for the search engine's own links other than
// further result pages.
bool passesLinkFilters(std::string_view link, std::string_view lowerResultPrefix);
// Only web pages are loaded by the crawl: never a script, a local file or anything else.
bool isWebPageLink(std::string_view link);

}  // namespace zelvo
