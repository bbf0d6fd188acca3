#include "playback/Recording.h"

#include "form/AppTitle.h"
#include "form/FormControls.h"
#include "platform/Steps.h"
#include "playback/RecordingFiles.h"

namespace zelvo {

namespace {

constexpr int kMarkWidth = 600;
// Room for each character of a notice, and around it, in twips.
constexpr int kNoticeCharacterWidth = 200;
constexpr int kNoticeMargin = 300;

constexpr int kNoticeTicks = 6;
// Room kept free on the disk: what a stream of broadcast quality writes between two looks.
constexpr uintmax_t kReservedBytes = 16u << 20;

bool recordable(int state, int playing, int paused) { return state == playing || state == paused; }

}  // namespace

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

void Recording::toggle() {
  if (recording()) {
    end();
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
  FileSystem& disk = x_.p.disk;
  std::string videos;
  step([&] { videos = disk.videosFolder(); });
  const std::string folder = videos + "/Zelvo";
  step([&] { disk.makeFolders(folder); });
  if (!roomIn(folder)) {
    warn("无法录制：文件夹“" + folder + "”所在的磁盘空间不足。");
    return;
  }
  RecordingNames names;
  // The folder must take a file before a player is asked to write there.
  const bool made = step([&] {
    names = freeRecordingNames(folder, x_.c.tvm.text(), x_.p.clock.secondsNow(),
                               [&](const std::string& path) { return disk.exists(path); });
    disk.createEmptyFile(names.part);
  });
  if (!made) {
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
    step([&] { disk.remove(names.part); });
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

void Recording::end() { finish(true); }

bool Recording::finish(bool notice) {
  if (!recording()) return false;
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
  const bool kept = keepWrittenPart();
  if (kept && notice) showNotice(kRecordingSaved);
  return kept;
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
  if (recording() && !roomIn(folder_)) {
    warn(finish(false) ? "录制已停止：磁盘空间不足。\n已录下的部分保存为：" + file_
                       : std::string("录制已停止：磁盘空间不足。"));
  }
  if (noticeTicksLeft_ > 0 && --noticeTicksLeft_ == 0 && !recording())
    step([&] { mark.setVisible(false); });
  if (!recording() && noticeTicksLeft_ == 0) step([&] { timer.setEnabled(false); });
}

bool Recording::keepWrittenPart() {
  FileSystem& disk = x_.p.disk;
  uintmax_t size = 0;
  if (!step([&] { size = disk.fileSize(part_); })) return false;
  if (size == 0) {
    step([&] { disk.remove(part_); });
    return false;
  }
  return step([&] { disk.rename(part_, file_); });
}

bool Recording::roomIn(const std::string& folder) const {
  return guard([&] { return x_.p.disk.freeSpace(folder) >= kReservedBytes; });
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
