#include "platform/mpv/MpvEngine.h"

#include <mpv/client.h>

#include <clocale>
#include <exception>
#include <mutex>

#include "platform/mpv/MpvWakeup.h"

namespace zelvo::mpv {

namespace {

// The user agent mpv sends when none is set, read from the first engine: every engine of the
// process shares it, and the engine's own property holds the last station's agent afterwards.
std::string& engineAgent() {
  static std::string agent;
  return agent;
}
std::once_flag engineAgentRead;

// Sets the header fields as a list of strings: the property's text form splits at commas,
// which user agents and cookies hold.
void setHeaderFields(mpv_handle* handle, const RequestHeaders& headers) {
  std::vector<std::string> fields;
  if (!headers.origin.empty()) fields.push_back("Origin: " + headers.origin);
  if (!headers.cookie.empty()) fields.push_back("Cookie: " + headers.cookie);
  std::vector<mpv_node> values(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    values[i].format = MPV_FORMAT_STRING;
    values[i].u.string = fields[i].data();
  }
  mpv_node_list list{};
  list.num = static_cast<int>(values.size());
  list.values = values.data();
  mpv_node node{};
  node.format = MPV_FORMAT_NODE_ARRAY;
  node.u.list = &list;
  mpv_set_property(handle, "http-header-fields", MPV_FORMAT_NODE, &node);
}

}  // namespace

mpv_handle* startEngine(const EngineOptions& options, const char* logLevel) {
  // libmpv refuses to start unless numbers are parsed the C way.
  std::setlocale(LC_NUMERIC, "C");
  mpv_handle* handle = mpv_create();
  if (!handle) return nullptr;
  const char* const common[][2] = {
      {"idle", "yes"},
      {"keep-open", "no"},
      // Nothing of the user's mpv set-up: no configuration, scripts, bindings or terminal.
      {"config", "no"},
      {"terminal", "no"},
      {"input-default-bindings", "no"},
      {"osc", "no"},
      {"ytdl", "no"},
      {"load-scripts", "no"},
  };
  for (const auto& [name, value] : common) mpv_set_option_string(handle, name, value);
  for (const auto& [name, value] : options) {
    mpv_set_option_string(handle, name.c_str(), value.c_str());
  }
  if (mpv_initialize(handle) < 0) {
    mpv_terminate_destroy(handle);
    return nullptr;
  }
  mpv_request_log_messages(handle, logLevel);
  std::call_once(engineAgentRead, [handle] {
    if (char* agent = mpv_get_property_string(handle, "user-agent")) {
      engineAgent() = agent;
      mpv_free(agent);
    }
  });
  return handle;
}

void destroyEngine(mpv_handle* handle) {
  if (!handle) return;
  MpvWakeup::detach(handle);
  mpv_terminate_destroy(handle);
}

void drainEvents(mpv_handle* const& handle, const std::function<void(const mpv_event&)>& onEvent,
                 const std::function<void()>& shutDown) {
  while (handle) {
    const mpv_event* event = mpv_wait_event(handle, 0);
    if (event->event_id == MPV_EVENT_NONE) return;
    if (event->event_id == MPV_EVENT_SHUTDOWN) {
      shutDown();
      return;
    }
    try {
      onEvent(*event);
    } catch (const std::exception&) {
      // One event's failure must not stop the events that follow.
    }
  }
}

int loadFile(mpv_handle* handle, const std::string& address, const RequestHeaders& headers,
             int64_t& entryId) {
  entryId = 0;
  // pause outlives the clip in mpv; a new one always starts running. So do the headers.
  mpv_set_property_string(handle, "pause", "no");
  // A track chosen on the clip before would stay chosen too, and leave a clip without that
  // track silent.
  mpv_set_property_string(handle, "aid", "auto");
  mpv_set_property_string(handle, "sid", "auto");
  const std::string& agent = headers.userAgent.empty() ? engineAgent() : headers.userAgent;
  mpv_set_property_string(handle, "user-agent", agent.c_str());
  mpv_set_property_string(handle, "referrer", headers.referrer.c_str());
  setHeaderFields(handle, headers);
  const char* command[] = {"loadfile", address.c_str(), "replace", nullptr};
  mpv_node result{};
  const int rc = mpv_command_ret(handle, command, &result);
  if (rc < 0) return rc;
  if (result.format == MPV_FORMAT_NODE_MAP) {
    for (int i = 0; i < result.u.list->num; ++i) {
      const mpv_node& value = result.u.list->values[i];
      if (std::string(result.u.list->keys[i]) == "playlist_entry_id" &&
          value.format == MPV_FORMAT_INT64) {
        entryId = value.u.int64;
      }
    }
  }
  mpv_free_node_contents(&result);
  return 0;
}

void stopPlayback(mpv_handle* handle) {
  // Synchronous, so that it can never land after the next loadfile and stop that.
  const char* command[] = {"stop", nullptr};
  mpv_command(handle, command);
}

bool saysRefused(const std::string& line) {
  // FFmpeg's HTTP client: "HTTP error 403 Forbidden".
  return line.find("HTTP error 403") != std::string::npos ||
         line.find("403 Forbidden") != std::string::npos;
}

std::string logLine(const mpv_event_log_message& message) {
  std::string text = std::string(message.prefix) + ": " + message.text;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace zelvo::mpv
