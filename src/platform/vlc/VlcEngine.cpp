#include "platform/vlc/VlcEngine.h"

#include <vlc/vlc.h>

#include <cstdio>

namespace zelvo::vlc {

Engine startEngine(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv = {"--quiet", "--no-video-title-show", "--no-stats",
                                   "--no-snapshot-preview"};
  for (const auto& argument : arguments) argv.push_back(argument.c_str());
  Engine engine;
  // Only a build with an RTSP client (live555) knows this option, and libVLC refuses to start
  // on an option it does not know. Over TCP, RTSP passes more firewalls.
  engine.rtspHandled = engineHasRtspClient();
  if (engine.rtspHandled) argv.push_back("--rtsp-tcp");
  engine.instance = libvlc_new(static_cast<int>(argv.size()), argv.data());
  return engine;
}

void releaseEngine(libvlc_instance_t* instance) {
  if (!instance) return;
  libvlc_log_unset(instance);
  libvlc_release(instance);
}

libvlc_media_t* newMedia(libvlc_instance_t* instance, const ClassifiedAddress& address) {
  switch (address.kind) {
    case ClassifiedAddress::Kind::LocalPath:
      return libvlc_media_new_path(instance, address.address.c_str());
    case ClassifiedAddress::Kind::Location:
      return libvlc_media_new_location(instance, address.address.c_str());
    default:
      return nullptr;
  }
}

void addRequestHeaders(libvlc_media_t* media, const RequestHeaders& headers) {
  // Read by both HTTP access modules and by the HLS and DASH module's own connections. The
  // values hold no control character (the address reader refuses them), so no option can end.
  if (!headers.userAgent.empty())
    libvlc_media_add_option(media, (":http-user-agent=" + headers.userAgent).c_str());
  if (!headers.referrer.empty())
    libvlc_media_add_option(media, (":http-referrer=" + headers.referrer).c_str());
}

libvlc_media_t* firstEntry(libvlc_media_t* media) {
  libvlc_media_list_t* entries = libvlc_media_subitems(media);
  if (!entries) return nullptr;
  libvlc_media_t* entry = nullptr;
  libvlc_media_list_lock(entries);
  if (libvlc_media_list_count(entries) > 0) entry = libvlc_media_list_item_at_index(entries, 0);
  libvlc_media_list_unlock(entries);
  libvlc_media_list_release(entries);
  return entry;
}

void EngineLog::attach(libvlc_instance_t* instance) {
  libvlc_log_set(instance, &EngineLog::onLog, this);
}

std::vector<std::string> EngineLog::take() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> taken;
  taken.swap(kept_);
  return taken;
}

void EngineLog::watchFor(std::vector<std::string> fragments) {
  std::lock_guard lock(mutex_);
  alarms_ = std::move(fragments);
}

std::string EngineLog::takeAlarm() {
  std::lock_guard lock(mutex_);
  std::string taken;
  taken.swap(alarm_);
  return taken;
}

void EngineLog::onLog(void* data, int level, const vlc_log_t*, const char* format,
                      va_list arguments) {
  auto* self = static_cast<EngineLog*>(data);
  try {
    char text[512];
    va_list copy;
    va_copy(copy, arguments);
    std::vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    std::string line(text);
    std::lock_guard lock(self->mutex_);
    if (self->alarm_.empty()) {
      for (const std::string& fragment : self->alarms_) {
        if (line.find(fragment) != std::string::npos) self->alarm_ = line;
      }
    }
    if (!self->keep_(level, line)) return;
    if (self->kept_.size() >= self->lines_) self->kept_.erase(self->kept_.begin());
    self->kept_.push_back(std::move(line));
  } catch (...) {
    // Nothing may leave a callback of the engine's.
  }
}

}  // namespace zelvo::vlc
