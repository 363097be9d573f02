#pragma once

// What the suites that run the built command share: the command line that
// starts it, temporary folders, the bytes a folder holds, and running a
// process in a folder with its standard output collected.
//
// CAP2BATCH_EXE names the executable. CAP2BATCH_LAUNCHER, when set, is a
// command (words separated by spaces) that the executable is handed to, such
// as wine or valgrind.

#include <sys/resource.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace command_harness {

/// True when CAP2BATCH_LAUNCHER names a launcher.
bool underLauncher();

/// CAP2BATCH_EXE made absolute, or `fallback` as it is when that is not set.
std::filesystem::path executable(const std::filesystem::path& fallback);

/// The launcher's words, if any, followed by `executable`.
std::vector<std::string> commandPrefix(const std::filesystem::path& executable);

/// The bytes of the file at `path`; nothing when it is a folder or cannot be
/// opened.
std::optional<std::string> readFile(const std::filesystem::path& path);

/// A new folder in the system's temporary folder, named `prefix` followed by
/// a dash and six random characters; an empty path when none can be made.
std::filesystem::path makeTemporaryFolder(const std::string& prefix);

/// Removes `folder` with all it holds, after giving its owner back every
/// right on it (a test may have taken them). Errors are ignored.
void removeTemporaryFolder(const std::filesystem::path& folder);

/// Every entry below `folder`, by its path relative to it (with '/'), with its
/// bytes: "<folder>" for a folder, "<link TARGET>" for a symbolic link (never
/// followed), "<unreadable>" for a file that cannot be read.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder);

/// Makes the writes of this process past `bytes` into any file fail with
/// EFBIG instead of killing it: a full disk, for a child's set-up.
void limitFileSize(rlim_t bytes);

/// A child process whose standard output goes into a pipe.
struct StartedProcess {
  pid_t pid = -1;           // -1 when it could not be started
  int output = -1;          // the pipe's reading end
  std::size_t skipped = 0;  // bytes put into the pipe before the child started
};

struct ProcessResult {
  int status = -1;             // the exit status as the shell sees it, or -1 after a signal
  bool killed = false;         // ended by SIGKILL
  std::string standardOutput;  // without the bytes put there before the start
};

struct ProcessOptions {
  /// Runs in the child once its standard output is the pipe and its working
  /// folder is set, just before the exec; it may end the child with _exit.
  std::function<void()> setUpChild = {};
  /// Runs in this process on the pipe's writing end before the child starts;
  /// returns how many bytes it wrote there, which the result leaves out.
  std::function<std::size_t(int pipeEnd)> fillPipe = {};
};

/// Starts `words` (the first looked up on PATH) in `folder`. A child that
/// cannot enter the folder ends with 120, one that cannot exec with 121.
StartedProcess startProcess(const std::vector<std::string>& words,
                            const std::filesystem::path& folder,
                            const ProcessOptions& options = {});

/// Reads the standard output to its end, then waits for the process.
ProcessResult finishProcess(const StartedProcess& started);

/// startProcess and finishProcess in one.
ProcessResult runProcess(const std::vector<std::string>& words, const std::filesystem::path& folder,
                         const ProcessOptions& options = {});

}  // namespace command_harness
