// Times one start of a program, for bench/compare.sh:
//   zelvo_launch_probe window DISPLAY [--ready FILE LINES] PROGRAM [ARGUMENTS...]
//     prints "MS KB MAP KB3": MS, the milliseconds from exec to the program being ready; KB, the
//     resident memory of the program and all its children one second after that; MAP, the
//     milliseconds from exec to the first top-level window mapped on the display; KB3, the
//     resident memory three seconds after ready, once the work put off past start-up is done. Without
//     --ready the program is ready when that window maps; with it, once the window has mapped
//     and FILE has been written (closed, or renamed into place) holding at least LINES lines.
//     FILE is removed before the start. Then the program is ended (SIGTERM, and SIGKILL to its
//     process group after 10 s).
//   zelvo_launch_probe command PROGRAM [ARGUMENTS...]
//     prints "MS": the milliseconds from exec to the program's end (its output is discarded).
// Nothing else may map windows on the display meanwhile: the first map is taken as the program's.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Starts the program in a process group of its own with its output on /dev/null.
pid_t start(char** arguments) {
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    execv(arguments[0], arguments);
    _exit(127);
  }
  return pid;
}

long statusField(const std::filesystem::path& status, const std::string& field) {
  std::ifstream in(status);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
  return -1;
}

// The resident memory of pid and every process below it, in kB.
long treeResidentKb(pid_t root) {
  std::map<long, std::vector<long>> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const long parent = statusField(entry.path() / "status", "PPid:");
    if (parent > 0) children[parent].push_back(std::stol(name));
  }
  long total = 0;
  std::vector<long> pending{root};
  while (!pending.empty()) {
    const long pid = pending.back();
    pending.pop_back();
    total += std::max(0L, statusField("/proc/" + std::to_string(pid) + "/status", "VmRSS:"));
    for (long child : children[pid]) pending.push_back(child);
  }
  return total;
}

// The file at path holds at least lines lines.
bool holdsLines(const std::string& path, long lines) {
  std::ifstream in(path, std::ios::binary);
  char buffer[1 << 16];
  long seen = 0;
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    seen += std::count(buffer, buffer + in.gcount(), '\n');
  return seen >= lines;
}

// Watches for a file to be written whole with enough lines.
class ReadyFile {
 public:
  ReadyFile(const std::string& path, long lines) : path_(path), lines_(lines) {
    const std::filesystem::path file(path);
    name_ = file.filename();
    std::filesystem::remove(file);
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) inotify_add_watch(fd_, file.parent_path().c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
  }
  ~ReadyFile() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }
  // Reads the pending events; true once the file has been written with enough lines.
  bool written() {
    alignas(inotify_event) char buffer[4096];
    bool touched = false;
    for (ssize_t got; (got = read(fd_, buffer, sizeof buffer)) > 0;) {
      for (char* at = buffer; at < buffer + got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        if (event->len && name_ == event->name) touched = true;
        at += sizeof(inotify_event) + event->len;
      }
    }
    return touched && holdsLines(path_, lines_);
  }

 private:
  std::string path_;
  std::string name_;
  long lines_;
  int fd_ = -1;
};

void end(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (i == 199) {
      kill(-pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
  kill(-pid, SIGKILL);  // whatever it left behind in its group
}

int timeWindow(const char* displayName, char** arguments, std::unique_ptr<ReadyFile> ready) {
  // A loaded machine's server may be slow to take one more connection.
  Display* display = XOpenDisplay(displayName);
  for (int tries = 0; !display && tries < 40; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    display = XOpenDisplay(displayName);
  }
  if (!display) {
    std::fprintf(stderr, "cannot open display %s\n", displayName);
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  setenv("DISPLAY", displayName, 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");

  const Clock::time_point began = Clock::now();
  const pid_t pid = start(arguments);
  double mappedMs = -1;
  double writtenMs = ready ? -1 : 0;
  pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0},
                       {ready ? ready->fd() : -1, POLLIN, 0}};
  while ((mappedMs < 0 || writtenMs < 0) && millisecondsSince(began) < 30000) {
    while (mappedMs < 0 && XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect)
        mappedMs = millisecondsSince(began);
    }
    if (writtenMs < 0 && ready->written()) writtenMs = millisecondsSince(began);
    if (mappedMs < 0 || writtenMs < 0) poll(watched, 2, 10);
  }
  const double readyMs = mappedMs < 0 || writtenMs < 0 ? -1 : std::max(mappedMs, writtenMs);
  auto residentAfter = [&](int seconds) {
    if (readyMs >= 0) std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return waitpid(pid, nullptr, WNOHANG) == 0 ? treeResidentKb(pid) : -1;
  };
  const long residentKb = residentAfter(1);
  const long settledKb = residentAfter(2);
  end(pid);
  XCloseDisplay(display);
  std::printf("%.1f %ld %.1f %ld\n", readyMs, residentKb, mappedMs, settledKb);
  return readyMs < 0 || residentKb < 0 || settledKb < 0;
}

int timeCommand(char** arguments) {
  const Clock::time_point began = Clock::now();
  const pid_t pid = start(arguments);
  int status = 0;
  waitpid(pid, &status, 0);
  std::printf("%.1f\n", millisecondsSince(began));
  return !WIFEXITED(status) || WEXITSTATUS(status) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "window" && argc > 5 && std::string(argv[3]) == "--ready")
    return timeWindow(argv[2], argv + 6, std::make_unique<ReadyFile>(argv[4], std::stol(argv[5])));
  if (mode == "window" && argc > 3) return timeWindow(argv[2], argv + 3, nullptr);
  if (mode == "command" && argc > 2) return timeCommand(argv + 2);
  std::fprintf(stderr,
               "usage: %s window DISPLAY [--ready FILE LINES] PROGRAM [ARGUMENTS...]\n"
               "       %s command PROGRAM [ARGUMENTS...]\n",
               argv[0], argv[0]);
  return 2;
}
