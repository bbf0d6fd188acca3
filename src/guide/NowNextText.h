// Now and next as people read them, for the tooltip and the command line.
#pragma once

#include <string>

#include "guide/NowNext.h"

namespace zelvo {

// "正在播出 20:00–21:00 新闻联播" and "下一个 21:00–22:00 天气预报", in local time, joined by
// separator; empty when there is neither.
std::string describeNowNext(const NowNext& nowNext, const std::string& separator);

}  // namespace zelvo
