// Text between the system's UTF-8 strings and the toolkit's.
#pragma once

#include <QString>
#include <string>

namespace zelvo {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace zelvo
