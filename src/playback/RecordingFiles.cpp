#include "playback/RecordingFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zelvo {

namespace {

constexpr size_t kMaxNameBytes = 120;
constexpr const char* kUnnamedStation = "录像";

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The value of XDG_VIDEOS_DIR in a user-dirs.dirs file: a quoted absolute path or one under
// "$HOME/". Empty when the file does not name one.
std::string userDirsVideos(const std::string& file, const std::string& home) {
  std::ifstream in(file);
  std::string line;
  std::string found;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string key = "XDG_VIDEOS_DIR=";
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) {
      value = home + value.substr(5);
    } else if (value.empty() || value.front() != '/') {
      continue;
    }
    found = value;
  }
  return found;
}

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

bool taken(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::symlink_status(path, ignored).type() !=
         std::filesystem::file_type::not_found;
}

}  // namespace

std::string videosFolder() {
  if (std::string set = environment("XDG_VIDEOS_DIR"); !set.empty()) return set;
  const std::string home = environment("HOME");
  std::string config = environment("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  if (std::string named = userDirsVideos(config + "/user-dirs.dirs", home); !named.empty())
    return named;
  return home + "/Videos";
}

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
                                  std::time_t when) {
  const std::string base = folder + "/" + safeFileName(station) + " " + localTimeText(when);
  for (int number = 1;; ++number) {
    const std::string file =
        base + (number == 1 ? "" : " (" + std::to_string(number) + ")") + ".ts";
    if (!taken(file) && !taken(file + ".part")) return {file, file + ".part"};
  }
}

}  // namespace zelvo
