#include "guide/CatchupAddress.h"

#include <ctime>
#include <optional>
#include <string_view>

#include "formats/StationAddress.h"
#include "formats/TextCase.h"

namespace zelvo {

namespace {

constexpr int64_t kSecondsADay = 24 * 60 * 60;

struct Moments {
  int64_t start;
  int64_t stop;
  int64_t now;
};

std::tm localParts(int64_t utc) {
  const time_t moment = static_cast<time_t>(utc);
  std::tm parts{};
  localtime_r(&moment, &parts);
  return parts;
}

std::string twoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
         static_cast<char>('0' + value % 10);
}

std::optional<std::string> datePart(char letter, const std::tm& parts) {
  switch (letter) {
    case 'Y':
      return std::to_string(parts.tm_year + 1900);
    case 'm':
      return twoDigits(parts.tm_mon + 1);
    case 'd':
      return twoDigits(parts.tm_mday);
    case 'H':
      return twoDigits(parts.tm_hour);
    case 'M':
      return twoDigits(parts.tm_min);
    case 'S':
      return twoDigits(parts.tm_sec);
    default:
      return std::nullopt;
  }
}

// A moment written with the letters Y m d H M S, everything else as it stands: {utc:Ymd-HM}.
std::string formatted(std::string_view format, int64_t utc) {
  const std::tm parts = localParts(utc);
  std::string out;
  for (const char ch : format) {
    const std::optional<std::string> part = datePart(ch, parts);
    out += part ? *part : std::string(1, ch);
  }
  return out;
}

std::optional<int64_t> positiveDivider(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int64_t value = 0;
  for (const char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
  }
  if (value < 1) return std::nullopt;
  return value;
}

// The value of one placeholder, name and argument as the template gives them between the
// braces (name with its "$" where it had one); nothing when it is not one.
std::optional<std::string> placeholder(std::string_view name, std::optional<std::string_view> arg,
                                       const Moments& at) {
  std::optional<int64_t> moment;
  if (name == "utc" || name == "start" || name == "$start") moment = at.start;
  if (name == "utcend" || name == "end" || name == "$end") moment = at.stop;
  if (name == "lutc" || name == "$timestamp" || name == "$now") moment = at.now;
  if (moment) return arg ? formatted(*arg, *moment) : std::to_string(*moment);

  std::optional<int64_t> span;
  if (name == "duration") span = at.stop - at.start;
  if (name == "offset") span = at.now - at.start;
  if (span) {
    if (!arg) return std::to_string(*span);
    const std::optional<int64_t> divider = positiveDivider(*arg);
    if (!divider) return std::nullopt;
    return std::to_string(*span / *divider);
  }
  if (!arg && name.size() == 1) return datePart(name[0], localParts(at.start));
  return std::nullopt;
}

// The template with its placeholders filled in, or the problem with it.
CatchupResult fill(std::string_view text, const Moments& at) {
  CatchupResult result;
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const bool dollar = text[i] == '$' && i + 1 < text.size() && text[i + 1] == '{';
    if (text[i] != '{' && !dollar) {
      out += text[i++];
      continue;
    }
    const size_t open = dollar ? i + 1 : i;
    const size_t close = text.find('}', open);
    if (close == std::string_view::npos) {
      result.problem = "回看地址模板中的 { 没有配对的 }";
      return result;
    }
    const std::string_view inside = text.substr(open + 1, close - open - 1);
    // "{utc:Y{m}" is a placeholder whose own } is missing, not a format holding a brace.
    if (inside.find('{') != std::string_view::npos) {
      result.problem =
          "回看地址模板中的 { 没有配对的 }：" + std::string(text.substr(i, close + 1 - i));
      return result;
    }
    const size_t colon = inside.find(':');
    const std::string name =
        (dollar ? "$" : "") + std::string(inside.substr(0, std::min(colon, inside.size())));
    std::optional<std::string_view> arg;
    if (colon != std::string_view::npos) arg = inside.substr(colon + 1);
    // An empty format would write the moment as nothing.
    const std::optional<std::string> value =
        arg && arg->empty() ? std::nullopt : placeholder(name, arg, at);
    if (!value) {
      result.problem = "回看地址模板中有未知的占位符 " + std::string(text.substr(i, close + 1 - i));
      return result;
    }
    out += *value;
    i = close + 1;
  }
  if (out.empty()) result.problem = "回看地址模板填写后是空的";
  result.address = std::move(out);
  return result;
}

CatchupResult notPlayable(std::string problem) {
  CatchupResult result;
  result.problem = std::move(problem);
  return result;
}

struct AddressParts {
  std::string_view origin;  // scheme://host[:port]
  std::string_view path;    // from the first "/" after the host, without the query
  std::string_view query;   // from "?", if any
};

std::optional<AddressParts> split(std::string_view address) {
  const size_t scheme = address.find("://");
  if (scheme == std::string_view::npos) return std::nullopt;
  const size_t pathStart = address.find('/', scheme + 3);
  if (pathStart == std::string_view::npos) return std::nullopt;
  const size_t queryStart = std::min(address.find('?', pathStart), address.size());
  return AddressParts{address.substr(0, pathStart),
                      address.substr(pathStart, queryStart - pathStart),
                      address.substr(queryStart)};
}

// http://host/stream/mpegts → http://host/stream/timeshift_abs-{utc}.ts;
// http://host/stream/index.m3u8 → http://host/stream/index-{utc}-{duration}.m3u8.
std::optional<std::string> flussonicTemplate(std::string_view live) {
  const std::optional<AddressParts> parts = split(live);
  if (!parts) return std::nullopt;
  const size_t slash = parts->path.rfind('/');
  const std::string_view folder = parts->path.substr(0, slash + 1);
  const std::string_view last = parts->path.substr(slash + 1);
  if (folder.size() < 2) return std::nullopt;  // no stream name before the last part
  std::string archive;
  if (last == "mpegts") {
    archive = "timeshift_abs-{utc}.ts";
  } else if (last.size() > 5 && last.ends_with(".m3u8")) {
    archive = std::string(last.substr(0, last.size() - 5)) + "-{utc}-{duration}.m3u8";
  } else {
    return std::nullopt;
  }
  return std::string(parts->origin) + std::string(folder) + archive + std::string(parts->query);
}

// http://host:port/[live/]user/pass/id[.ext] →
// http://host:port/timeshift/user/pass/{duration:60}/{Y}-{m}-{d}:{H}-{M}/id.ext
std::optional<std::string> xtreamTemplate(std::string_view live) {
  const std::optional<AddressParts> parts = split(live);
  if (!parts || !parts->query.empty()) return std::nullopt;
  std::string_view path = parts->path.substr(1);
  if (path.starts_with("live/")) path.remove_prefix(5);
  std::string_view pieces[3];
  for (int n = 0; n < 3; ++n) {
    const size_t slash = n < 2 ? path.find('/') : path.size();
    if (slash == std::string_view::npos || slash == 0) return std::nullopt;
    pieces[n] = path.substr(0, slash);
    path.remove_prefix(std::min(slash + 1, path.size()));
  }
  const std::string_view file = pieces[2];
  if (file.find('/') != std::string_view::npos) return std::nullopt;
  const size_t dot = file.rfind('.');
  const std::string_view id = file.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? "ts" : file.substr(dot + 1);
  if (id.empty() || extension.empty()) return std::nullopt;
  return std::string(parts->origin) + "/timeshift/" + std::string(pieces[0]) + "/" +
         std::string(pieces[1]) + "/{duration:60}/{Y}-{m}-{d}:{H}-{M}/" + std::string(id) + "." +
         std::string(extension);
}

}  // namespace

int catchupDays(const GuideTags& tags) {
  if (tags.catchup.empty()) return 0;
  return tags.catchupDays > 0 ? tags.catchupDays : kCatchupDaysWhenUnstated;
}

CatchupResult catchupAddress(const std::string& liveAddress, const GuideTags& tags,
                             const Programme& programme, int64_t now) {
  // The archive is asked for with the live stream's request headers: the modes work on the URL
  // alone, and the headers go after whatever address they make, unless it names its own.
  const std::string live(addressUrl(liveAddress));
  const std::string_view headers = addressSuffix(liveAddress);
  const std::string mode = toLowerAscii(tags.catchup);
  if (mode.empty()) return notPlayable("这个电视台不提供回看");
  if (programme.start > now) return notPlayable("节目还没有开始");
  const int days = catchupDays(tags);
  if (programme.start < now - days * kSecondsADay)
    return notPlayable("只能回看最近 " + std::to_string(days) + " 天的节目");

  std::string pattern;
  if (mode == "default") {
    if (tags.catchupSource.empty()) return notPlayable("播放列表没有给出回看地址模板");
    pattern = tags.catchupSource;
  } else if (mode == "append") {
    if (tags.catchupSource.empty()) return notPlayable("播放列表没有给出回看地址模板");
    pattern = live + tags.catchupSource;
  } else if (mode == "shift" || mode == "timeshift") {
    pattern = live + (live.find('?') == std::string::npos ? "?" : "&") + "utc={utc}&lutc={lutc}";
  } else if (mode == "flussonic" || mode == "fs" || mode == "xc") {
    const std::optional<std::string> made =
        mode == "xc" ? xtreamTemplate(live) : flussonicTemplate(live);
    if (!made)
      return notPlayable("直播地址不是 " +
                         std::string(mode == "xc" ? "Xtream Codes" : "Flussonic") + " 的格式");
    pattern = *made;
  } else {
    return notPlayable("不认识的回看方式 " + tags.catchup);
  }
  // The provider's archive may keep its own time: the correction moves only the programme's
  // times as the address gives them.
  const int64_t correction = tags.catchupCorrection;
  CatchupResult result =
      fill(pattern, {programme.start + correction, programme.stop + correction, now});
  if (result.playable() && addressSuffix(result.address).empty()) result.address += headers;
  return result;
}

}  // namespace zelvo
