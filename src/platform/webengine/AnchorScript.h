// Reading a page's anchors in one script call: the script, and its answer as the list the
// browser contract gives.
#pragma once

#include <QString>
#include <QVariant>
#include <string>
#include <vector>

namespace zelvo {

// Every anchor of the top-level document in document order, each as its string value: the
// absolute address as the engine resolved it, or "" for an anchor without a target. Run it in
// a world of its own, so that nothing the page redefines can change the answer.
QString anchorScript();

// The script's answer as UTF-8 texts; an answer that is no list (the page went away before
// the script ran) gives an empty list.
std::vector<std::string> anchorTexts(const QVariant& answer);

}  // namespace zelvo
