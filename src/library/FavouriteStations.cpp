#include "library/FavouriteStations.h"

#include <algorithm>

#include "library/StationRefFile.h"
#include "platform/Steps.h"

namespace zelvo {

namespace {

const std::string kFile = kFavouritesFile;

}  // namespace

FavouriteStations::FavouriteStations(TextFileService& files, std::string path)
    : files_(files), path_(std::move(path)) {}

std::string FavouriteStations::load() {
  StationRefFile file;
  if (!step([&] { file = readStationRefFile(files_, path_); })) {
    stations_.clear();
    unreadLines_.clear();
    whole_ = false;
    return "无法读取收藏文件 " + kFile + "，收藏夹暂时为空；该文件保持原样，改动不会写入。";
  }
  stations_ = std::move(file.stations);
  unreadLines_ = std::move(file.unreadLines);
  whole_ = file.complete;
  if (!whole_)
    return "收藏文件 " + kFile + " 未能读完，只读出了 " + std::to_string(stations_.size()) +
           " 个收藏；该文件保持原样，改动不会写入。";
  if (!unreadLines_.empty())
    return "收藏文件 " + kFile + " 中有 " + std::to_string(unreadLines_.size()) +
           " 行无法读取（不是“名称,地址”或编码有误），已原样保留在文件末尾。";
  return {};
}

bool FavouriteStations::contains(const StationRef& station) const {
  return std::find(stations_.begin(), stations_.end(), station) != stations_.end();
}

std::string FavouriteStations::toggle(const StationRef& station) {
  const auto found = std::find(stations_.begin(), stations_.end(), station);
  if (found != stations_.end()) {
    stations_.erase(found);
  } else {
    if (!fitsStationRefFile(station)) return "这个电台无法收藏：名称或地址为空，或名称含有逗号。";
    stations_.push_back(station);
  }
  return save();
}

std::string FavouriteStations::move(size_t from, size_t to) {
  if (from >= stations_.size() || to >= stations_.size() || from == to) return {};
  StationRef moving = std::move(stations_[from]);
  stations_.erase(stations_.begin() + static_cast<std::ptrdiff_t>(from));
  stations_.insert(stations_.begin() + static_cast<std::ptrdiff_t>(to), std::move(moving));
  return save();
}

std::string FavouriteStations::save() {
  if (!whole_)
    return "收藏文件 " + kFile + " 未能完整读取，改动只在本次运行中有效，以免覆盖其中的收藏。";
  if (!step([&] { writeStationRefFile(files_, path_, stations_, unreadLines_); }))
    return "无法写入收藏文件 " + kFile + "（文件或文件夹可能是只读的），改动只在本次运行中有效。";
  return {};
}

}  // namespace zelvo
