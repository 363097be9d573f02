#include "command_harness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace command_harness {

bool underLauncher() {
  const char* launcher = std::getenv("CAP2BATCH_LAUNCHER");
  return launcher != nullptr && *launcher != '\0';
}

fs::path executable(const fs::path& fallback) {
  const char* exe = std::getenv("CAP2BATCH_EXE");
  return exe != nullptr ? fs::absolute(exe) : fallback;
}

std::vector<std::string> commandPrefix(const fs::path& executable) {
  std::vector<std::string> words;
  if (const char* launcher = std::getenv("CAP2BATCH_LAUNCHER")) {
    std::istringstream stream(launcher);
    for (std::string word; stream >> word;) words.push_back(word);
  }
  words.push_back(executable.string());
  return words;
}

std::optional<std::string> readFile(const fs::path& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path makeTemporaryFolder(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / prefix).string() + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

void removeTemporaryFolder(const fs::path& folder) {
  if (folder.empty()) return;
  std::error_code ignored;
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(folder, ignored);
}

std::map<std::string, std::string> folderContents(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    // Lexically: fs::relative would follow a link to its target's name.
    const std::string name = entry.path().lexically_relative(folder).generic_string();
    if (entry.is_symlink()) {
      entries[name] = "<link " + fs::read_symlink(entry.path()).string() + ">";
    } else if (entry.is_directory()) {
      entries[name] = "<folder>";
    } else {
      entries[name] = readFile(entry.path()).value_or("<unreadable>");
    }
  }
  return entries;
}

void limitFileSize(rlim_t bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{bytes, bytes};
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

StartedProcess startProcess(const std::vector<std::string>& words, const fs::path& folder,
                            const ProcessOptions& options) {
  std::vector<std::string> copies = words;
  std::vector<char*> argv;
  for (std::string& word : copies) argv.push_back(word.data());
  argv.push_back(nullptr);

  StartedProcess started;
  // Close-on-exec, so that no other child holds the pipe open.
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return started;
  if (options.fillPipe) started.skipped = options.fillPipe(pipeEnds[1]);
  started.pid = ::fork();
  if (started.pid == 0) {
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    if (::chdir(folder.c_str()) != 0) ::_exit(120);
    if (options.setUpChild) options.setUpChild();
    ::execvp(argv[0], argv.data());
    ::_exit(121);
  }
  ::close(pipeEnds[1]);
  if (started.pid < 0) {
    ::close(pipeEnds[0]);
    return started;
  }
  started.output = pipeEnds[0];
  return started;
}

ProcessResult finishProcess(const StartedProcess& started) {
  ProcessResult result;
  if (started.pid < 0) return result;
  char buffer[4096];
  for (ssize_t count; (count = ::read(started.output, buffer, sizeof buffer)) > 0;) {
    result.standardOutput.append(buffer, static_cast<std::size_t>(count));
  }
  ::close(started.output);
  result.standardOutput.erase(0, started.skipped);
  int status = 0;
  ::waitpid(started.pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  return result;
}

ProcessResult runProcess(const std::vector<std::string>& words, const fs::path& folder,
                         const ProcessOptions& options) {
  return finishProcess(startProcess(words, folder, options));
}

}  // namespace command_harness
