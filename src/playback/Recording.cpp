#include "playback/Recording.h"

#include <ctime>
#include <filesystem>
#include <fstream>

#include "form/AppTitle.h"
#include "form/FormControls.h"
#include "platform/Steps.h"
#include "playback/RecordingFiles.h"

namespace zelvo {

namespace {

namespace fs = std::filesystem;

constexpr int kMarkWidth = 600;
// Room for each character of a notice, and around it, in twips.
constexpr int kNoticeCharacterWidth = 200;
constexpr int kNoticeMargin = 300;

constexpr int kNoticeTicks = 6;
// Room kept free on the disk: what a stream of broadcast quality writes between two looks.
constexpr uintmax_t kReservedBytes = 16u << 20;

bool recordable(int state, int playing, int paused) { return state == playing || state == paused; }

}  // namespace

uintmax_t freeSpaceIn(const std::string& folder) {
  std::error_code error;
  const fs::space_info space = fs::space(folder, error);
  return error ? UINTMAX_MAX : space.available;
}

Recording::Recording(Context context) : x_(context) {
  mark.badge = true;
  mark.setVisible(false);
}

void Recording::connect() {
  x_.p.wmp.recordingStopped.connect([this](const std::string& path, const std::string& problem) {
    step([&] { stopped(path, problem); });
  });
  x_.p.real.recordingStopped.connect([this](const std::string& path, const std::string& problem) {
    step([&] { stopped(path, problem); });
  });
  timer.tick.connect([this] { step([&] { onTick(); }); });
}

Recording::Recorder Recording::playingRecorder() const {
  int state = -1;
  step([&] { state = x_.p.wmp.playState(); });
  if (recordable(state, WmpState::Playing, WmpState::Paused)) return Recorder::Primary;
  state = -1;
  step([&] { state = x_.p.real.playState(); });
  if (recordable(state, RealState::Playing, RealState::Paused)) return Recorder::Fallback;
  return Recorder::None;
}

void Recording::Toggle() {
  if (recording()) {
    End();
    return;
  }
  const Recorder recorder = playingRecorder();
  if (recorder == Recorder::None) {
    showNotice(kNothingToRecord);
    return;
  }
  startOn(recorder);
}

void Recording::startOn(Recorder recorder) {
  const std::string folder = videosFolder() + "/Zelvo";
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  if (freeSpace(folder) < kReservedBytes) {
    warn("无法录制：文件夹“" + folder + "”所在的磁盘空间不足。");
    return;
  }
  const RecordingNames names = freeRecordingNames(folder, x_.c.tvm.text(), std::time(nullptr));
  // The folder must take a file before a player is asked to write there.
  if (!std::ofstream(names.part, std::ios::binary)) {
    warn("无法录制：不能在文件夹“" + folder + "”中写入录像文件。");
    return;
  }
  const bool started = step([&] {
    if (recorder == Recorder::Primary) {
      x_.p.wmp.startRecording(names.part);
    } else {
      x_.p.real.startRecording(names.part);
    }
  });
  if (!started) {
    fs::remove(names.part, ignored);
    showNotice(kRecordingRefused);
    return;
  }
  recorder_ = recorder;
  endedWithStream_ = false;
  file_ = names.file;
  part_ = names.part;
  folder_ = folder;
  noticeTicksLeft_ = 0;
  step([&] { timer.setEnabled(true); });
  step([&] {
    mark.setCaption(kRecordingMark);
    mark.setWidth(kMarkWidth);
    mark.setVisible(true);
  });
}

void Recording::End() { finish(true); }

void Recording::finish(bool notice) {
  if (!recording()) return;
  const Recorder recorder = recorder_;
  recorder_ = Recorder::None;
  endedWithStream_ = false;
  step([&] {
    if (recorder == Recorder::Primary) {
      x_.p.wmp.stopRecording();
    } else {
      x_.p.real.stopRecording();
    }
  });
  step([&] { mark.setVisible(false); });
  if (keepWrittenPart() && notice) showNotice(kRecordingSaved);
}

void Recording::stopped(const std::string& path, const std::string& problem) {
  if (!recording() || path != part_) return;  // news of a recording that has ended already
  recorder_ = Recorder::None;
  endedWithStream_ = problem.empty();
  step([&] { mark.setVisible(false); });
  const bool kept = keepWrittenPart();
  if (problem.empty()) {
    if (kept) showNotice(kRecordingSaved);
    return;
  }
  warn(kept ? "录制已停止：录像文件无法继续写入（磁盘已满或文件夹不可写）。\n已录下的部分保存为：" +
                  file_
            : std::string("录制已停止：录像文件无法写入（磁盘已满或文件夹不可写）。"));
}

void Recording::onTick() {
  if (recording() && freeSpace(folder_) < kReservedBytes) {
    finish(false);
    std::error_code ignored;
    warn(fs::exists(file_, ignored) ? "录制已停止：磁盘空间不足。\n已录下的部分保存为：" + file_
                                    : std::string("录制已停止：磁盘空间不足。"));
  }
  if (noticeTicksLeft_ > 0 && --noticeTicksLeft_ == 0 && !recording())
    step([&] { mark.setVisible(false); });
  if (!recording() && noticeTicksLeft_ == 0) step([&] { timer.setEnabled(false); });
}

bool Recording::keepWrittenPart() {
  std::error_code error;
  const auto size = fs::file_size(part_, error);
  if (error) return false;
  if (size == 0) {
    fs::remove(part_, error);
    return false;
  }
  fs::rename(part_, file_, error);
  return !error;
}

void Recording::showNotice(const std::string& text) {
  step([&] {
    mark.setCaption(text);
    int characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
    mark.setWidth(characters * kNoticeCharacterWidth + kNoticeMargin);
    mark.setVisible(true);
  });
  // Counting starts again with every notice.
  noticeTicksLeft_ = kNoticeTicks;
  step([&] { timer.setEnabled(true); });
}

void Recording::warn(const std::string& text) {
  step([&] { x_.p.messages.show(text, kAppTitle, MessageIcon::Warning); });
}

}  // namespace zelvo
