// The user's mouse on the test's own windows under the private X server: a right-click that
// opens a context menu and picks an entry of it, and a drag with the left button held.
#pragma once

#include <QPoint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace zelvo::test {

class XClient;

// What the menu shows, "* " before a marked entry, after a right-click at `at` of the top-level
// window; whileOpen runs, then the entry with caption choose is clicked, or the menu closed when
// none has it.
std::vector<std::string> rightClickMenu(XClient& x, QWidget* window, QPoint at,
                                        const std::string& choose,
                                        const std::function<void()>& whileOpen = {});

// Presses the left button at from of the top-level window, moves it to to in small steps and
// lets go there. The events run between the steps: the toolkit runs a drag in a loop of its own.
void dragWithMouse(XClient& x, QWidget* window, QPoint from, QPoint to);

}  // namespace zelvo::test
