// Recording what plays: Ctrl+R starts and stops it, the players write the stream, the file is
// named "<station> <date time>.ts" in the videos folder once it is complete, and a red mark
// shows over the picture meanwhile. The folder, its free space and the time come from the
// services.
#pragma once

#include <cstdint>
#include <string>

#include "form/Services.h"
#include "platform/Control.h"
#include "platform/Timer.h"

namespace zelvo {

inline constexpr const char* kRecordingMark = "录制";
inline constexpr const char* kNothingToRecord = "没有正在播放的节目，无法录制";
inline constexpr const char* kRecordingSaved = "录像已保存";
inline constexpr const char* kRecordingRefused = "无法录制这个节目";

class Recording {
 public:
  explicit Recording(Context context);
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  void connect();

  // Ctrl+R: starts recording what plays, or ends the recording that runs.
  void toggle();
  // Ends the recording that runs, if any: the player stops writing and the file gets its name.
  void end();
  bool recording() const { return recorder_ != Recorder::None; }
  // Whether the last recording ended because the player left its stream (a drop, a new address),
  // rather than by the user or a full disk; forgotten once another stream plays.
  bool endedWithStream() const { return endedWithStream_; }
  void forgetEndedWithStream() { endedWithStream_ = false; }
  // The finished file of the recording that runs or ran last.
  const std::string& file() const { return file_; }

  // The mark over the picture while recording; it also shows short notices for a while.
  Label mark{"recordMark", {120, 120, 600, 330}, kRecordingMark};
  // Watches the free space while recording, and ends notices.
  Timer timer{"recordTimer", 500, false};

 private:
  enum class Recorder { None, Primary, Fallback };
  Recorder playingRecorder() const;
  void startOn(Recorder recorder);
  void stopped(const std::string& path, const std::string& problem);
  // Gives the written part its final name, or removes it when nothing was written. Returns
  // whether a file was kept.
  bool keepWrittenPart();
  void showNotice(const std::string& text);
  void onTick();
  // Ends the recording; notice says that the file was kept (a message may tell it instead).
  // Returns whether a file was kept.
  bool finish(bool notice);
  void warn(const std::string& text);
  // Whether the folder's disk has room for what a stream writes between two looks; true when
  // the file system cannot tell.
  bool roomIn(const std::string& folder) const;

  Context x_;
  Recorder recorder_ = Recorder::None;
  std::string file_;
  std::string part_;
  std::string folder_;
  int noticeTicksLeft_ = 0;
  bool endedWithStream_ = false;
};

}  // namespace zelvo
