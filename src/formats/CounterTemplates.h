// The two rules that tell a counter template from a plain address, side by side: the window's
// reactions go by any two "%" signs, the commands by a number between them.
#pragma once

#include <cstddef>
#include <string_view>

namespace zelvo {

// Both rules look at the URL alone: the request headers after "|" are percent-encoded.

// The window's rule: any two "%" signs make a template, whatever stands between them, so the
// players' reactions count "x%ab%" as a series although it expands to itself.
bool isAnyTwoPercentTemplate(std::string_view text);
// The pieces of that rule, for a reaction that finds the first "%" before it lets events run and
// looks for the second after: the position of the first "%", counted from 1 (0 when there is
// none), and whether a "%" stands at or after a position counted from 1.
size_t firstPercentPosition(std::string_view text);
bool holdsPercentFrom(std::string_view text, size_t position);

// The commands' rule: a number between the first two "%" signs, a series the window would count
// through. An export and a check set such an address aside; "x%ab%" is a plain address to them.
bool isNumberedCounterTemplate(std::string_view address);

}  // namespace zelvo
