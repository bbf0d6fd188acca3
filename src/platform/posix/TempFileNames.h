// The names of the program's temporary files, ".<name>.zelvo-<pid>-<six letters>.tmp", which
// say whose they are, so that what a killed process left behind can be found and removed.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace zelvo {

// A fresh temporary name for a file that will become fileName, carrying this process's id.
std::string tempNameFor(std::string_view fileName);

// The process that wrote a temporary file of this name, or nothing when the name is not one
// this program gives.
std::optional<pid_t> tempFileWriter(std::string_view name);

// Creates a new empty file under a fresh temporary name in the folder open as folderFd, with
// the permissions the umask gives. Sets name; returns the descriptor (read and write) or -1.
int createNamedTemp(int folderFd, std::string_view fileName, std::string& name);

// Removes from the folder (not its sub-folders) the temporary files whose writing process is
// gone. Files of a running process, and names this program does not give, are left alone.
void removeStaleTempFiles(const std::string& folder);

}  // namespace zelvo
