// Starting and ending a libVLC engine instance, the same for the player and the probe: the
// arguments every instance of ours needs, what it logs, and the media made from an address.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "formats/StationAddress.h"
#include "platform/vlc/VlcAddress.h"

struct libvlc_instance_t;
struct libvlc_media_t;
struct vlc_log_t;

namespace zelvo::vlc {

struct Engine {
  libvlc_instance_t* instance = nullptr;  // null when libVLC did not start
  bool rtspHandled = false;               // whether this build has an RTSP client
};

// An instance with our common arguments, then these.
Engine startEngine(const std::vector<std::string>& arguments);
// Releases the instance, whose players must all be gone; its log goes nowhere from then on.
void releaseEngine(libvlc_instance_t* instance);

// The media for a classified address, or null for one that libVLC must never be handed (it
// hangs on some it cannot take).
libvlc_media_t* newMedia(libvlc_instance_t* instance, const ClassifiedAddress& address);
// Has libVLC send the user agent and the referrer on every request of media's stream: the
// playlist, each segment, each redirect. libVLC 3 has no option for Origin or Cookie.
void addRequestHeaders(libvlc_media_t* media, const RequestHeaders& headers);
// A read playlist's first entry, for the caller to release; null when it has none.
libvlc_media_t* firstEntry(libvlc_media_t* media);

// The latest lines one instance logged that keep accepts, gathered from the engine's threads
// and taken on the UI thread. Attach it before the instance's first player; it must outlive
// the instance or be detached by releaseEngine.
class EngineLog {
 public:
  using Keep = bool (*)(int level, const std::string& line);
  EngineLog(size_t lines, Keep keep) : lines_(lines > 0 ? lines : 1), keep_(keep) {}
  EngineLog(const EngineLog&) = delete;
  EngineLog& operator=(const EngineLog&) = delete;

  void attach(libvlc_instance_t* instance);
  // The lines kept since the last take, oldest first.
  std::vector<std::string> take();
  // A line holding one of these fragments is remembered as an alarm, whatever keep says.
  void watchFor(std::vector<std::string> fragments);
  // The first alarming line since the last call; empty when none came.
  std::string takeAlarm();

 private:
  static void onLog(void* self, int level, const vlc_log_t* context, const char* format,
                    va_list arguments);

  const size_t lines_;
  const Keep keep_;
  std::mutex mutex_;
  std::vector<std::string> kept_;
  std::vector<std::string> alarms_;
  std::string alarm_;
};

}  // namespace zelvo::vlc
