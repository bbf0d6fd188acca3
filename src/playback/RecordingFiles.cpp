#include "playback/RecordingFiles.h"

namespace zelvo {

namespace {

constexpr size_t kMaxNameBytes = 120;
constexpr const char* kUnnamedStation = "录像";

bool refusedInNames(unsigned char c) {
  if (c < 0x20 || c == 0x7f) return true;
  for (char refused : std::string("/\\:*?\"<>|")) {
    if (c == static_cast<unsigned char>(refused)) return true;
  }
  return false;
}

std::string localTimeText(std::time_t when) {
  std::tm parts{};
  localtime_r(&when, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H-%M-%S", &parts);
  return text;
}

}  // namespace

std::string safeFileName(const std::string& name) {
  std::string safe;
  for (unsigned char c : name) safe += refusedInNames(c) ? '_' : static_cast<char>(c);
  const size_t first = safe.find_first_not_of(" .");
  safe = first == std::string::npos ? "" : safe.substr(first);
  while (!safe.empty() && safe.back() == ' ') safe.pop_back();
  if (safe.size() > kMaxNameBytes) {
    size_t cut = kMaxNameBytes;
    // Back to the first byte of a UTF-8 character, so none is cut in two.
    while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;
    safe.resize(cut);
  }
  return safe.empty() ? kUnnamedStation : safe;
}

RecordingNames freeRecordingNames(const std::string& folder, const std::string& station,
                                  std::time_t when,
                                  const std::function<bool(const std::string& path)>& taken) {
  const std::string base = folder + "/" + safeFileName(station) + " " + localTimeText(when);
  for (int number = 1;; ++number) {
    const std::string file =
        base + (number == 1 ? "" : " (" + std::to_string(number) + ")") + ".ts";
    if (!taken(file) && !taken(file + ".part")) return {file, file + ".part"};
  }
}

}  // namespace zelvo
