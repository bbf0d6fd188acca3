// A process started with standard streams closed gets /dev/null on them, and keeps those that
// are open as they are.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/posix/StandardStreams.h"

namespace zelvo {
namespace {

bool isDevNull(int fd) {
  struct stat open {
  }, null{};
  return ::fstat(fd, &open) == 0 && ::stat("/dev/null", &null) == 0 && S_ISCHR(open.st_mode) &&
         open.st_rdev == null.st_rdev;
}

TEST(StandardStreamsTest, ClosedOnesAreOpenedOnDevNullAndOpenOnesKept) {
  const std::vector<std::vector<int>> closedSets = {{}, {0}, {1}, {2}, {0, 2}, {0, 1, 2}};
  for (const auto& closed : closedSets) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Every stream not closed is the pipe's write end, which must stay in place.
      for (int fd = 0; fd <= 2; ++fd) ::dup2(pipeEnds[1], fd);
      for (int fd : closed) ::close(fd);
      openClosedStandardStreams();
      int wrong = 0;
      for (int fd = 0; fd <= 2; ++fd) {
        const bool wasClosed = std::find(closed.begin(), closed.end(), fd) != closed.end();
        if (wasClosed != isDevNull(fd)) wrong |= 1 << fd;
      }
      // The next file opened takes a number above the standard streams.
      const int next = ::open("/dev/null", O_RDONLY);
      if (next <= 2) wrong |= 8;
      ::_exit(wrong);
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "closed " << closed.size() << " streams, first " << (closed.empty() ? -1 : closed[0]);
  }
}

}  // namespace
}  // namespace zelvo
