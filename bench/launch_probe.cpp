// Times one start of a program, for bench/compare.sh:
//   zelvo_launch_probe window DISPLAY PROGRAM [ARGUMENTS...]
//     prints "MS KB": the milliseconds from exec to the first top-level window mapped on the
//     display, and the resident memory of the program and all its children one second after
//     that map; then ends the program (SIGTERM, and SIGKILL to its process group after 10 s).
//   zelvo_launch_probe command PROGRAM [ARGUMENTS...]
//     prints "MS": the milliseconds from exec to the program's end (its output is discarded).
// Nothing else may map windows on the display meanwhile: the first map is taken as the program's.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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

int timeWindow(const char* displayName, char** arguments) {
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
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  while (mappedMs < 0 && millisecondsSince(began) < 30000) {
    while (mappedMs < 0 && XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect)
        mappedMs = millisecondsSince(began);
    }
    if (mappedMs < 0) poll(&connection, 1, 10);
  }
  if (mappedMs >= 0) std::this_thread::sleep_for(std::chrono::seconds(1));
  const long residentKb = waitpid(pid, nullptr, WNOHANG) == 0 ? treeResidentKb(pid) : -1;
  end(pid);
  XCloseDisplay(display);
  std::printf("%.1f %ld\n", mappedMs, residentKb);
  return mappedMs < 0 || residentKb < 0;
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
  if (mode == "window" && argc > 3) return timeWindow(argv[2], argv + 3);
  if (mode == "command" && argc > 2) return timeCommand(argv + 2);
  std::fprintf(stderr,
               "usage: %s window DISPLAY PROGRAM [ARGUMENTS...]\n"
               "       %s command PROGRAM [ARGUMENTS...]\n",
               argv[0], argv[0]);
  return 2;
}
