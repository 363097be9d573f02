#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "conversion/lead_byte_table.h"
#include "run/completion_chime.h"
#include "run/locale_code_page.h"
#include "run/platform.h"

namespace {

class PosixReadableFile : public ReadableFile {
 public:
  explicit PosixReadableFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixReadableFile() override { close(); }

  std::size_t read(char* buffer, std::size_t size) override {
    if (descriptor_ < 0 || failed_) return 0;
    for (;;) {
      const ssize_t count = ::read(descriptor_, buffer, size);
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno == EINTR) continue;
      failed_ = true;
      return 0;
    }
  }

  bool failed() const override { return failed_; }

  bool isSameFileAs(const std::string& path) const override {
    struct stat open {};
    struct stat named {};
    // stat follows links, so a link to the capture list is caught too.
    if (::fstat(descriptor_, &open) != 0 || ::stat(path.c_str(), &named) != 0) return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
  }

  void close() override {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
  }

 private:
  int descriptor_;
  bool failed_ = false;
};

bool writeAll(int descriptor, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t count = ::write(descriptor, data, size);
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

class PosixWritableFile : public WritableFile {
 public:
  explicit PosixWritableFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixWritableFile() override { close(); }

  bool write(const char* data, std::size_t size) override {
    return descriptor_ >= 0 && writeAll(descriptor_, data, size);
  }

  bool close() override {
    if (descriptor_ < 0) return true;
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    return result == 0;
  }

 private:
  int descriptor_;
};

class StandardOutputSink : public ByteSink {
 public:
  bool write(const char* data, std::size_t size) override {
    return writeAll(STDOUT_FILENO, data, size);
  }
};

class PosixPlatform : public Platform {
 public:
  std::unique_ptr<ReadableFile> openForReading(const std::string& path) override {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    auto file = std::make_unique<PosixReadableFile>(descriptor);
    // A directory opens for reading here but not on Windows; the program
    // treats it as Windows does, as a file that cannot be opened.
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) return nullptr;
    return file;
  }

  std::unique_ptr<WritableFile> createForWriting(const std::string& path) override {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(descriptor);
  }

  void renameWithoutReplacing(const std::string& from, const std::string& to) override {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno != EINVAL && errno != ENOSYS) return;
    // A file system without no-replace renames: a hard link also fails when
    // the new name is taken, so the backup is never replaced.
    // Should the old name stay, the backup is taken back: both names would
    // share the file that creating the new batch list is about to empty.
    if (::link(from.c_str(), to.c_str()) == 0 && ::unlink(from.c_str()) != 0) ::unlink(to.c_str());
  }

  ByteSink& standardOutput() override { return standardOutput_; }

  void playCompletionChime() override { playChimeSound(); }

 private:
  StandardOutputSink standardOutput_;
};

// The locale that decides the codeset, as the C library would choose it,
// without changing the program's own locale.
const char* activeLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}

}  // namespace

Platform& systemPlatform() {
  static PosixPlatform platform;
  return platform;
}

void prepareProcess() {
  setLeadByteTable(builtInLeadByteRanges(codePageForLocale(activeLocaleName())));
  // A closed pipe on standard output must not end the run: the echo is
  // fire-and-forget. A file-size limit must end it with -1, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}
