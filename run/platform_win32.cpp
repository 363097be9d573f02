#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "conversion/lead_byte_table.h"
#include "run/platform.h"

namespace {

// The chime's sound, a "WAVE" resource of the executable itself.
constexpr WORD kChimeResource = 101;

// Other programs may go on reading and writing the files while the run holds
// them, as with the C runtime's own file streams.
constexpr DWORD kShareWithOthers = FILE_SHARE_READ | FILE_SHARE_WRITE;

// ReadFile and WriteFile take a 32-bit count.
DWORD chunkSize(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
}

bool writeAll(HANDLE handle, const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!::WriteFile(handle, data, chunkSize(size), &written, nullptr) || written == 0) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

class Win32ReadableFile : public ReadableFile {
 public:
  explicit Win32ReadableFile(HANDLE handle) : handle_(handle) {}
  ~Win32ReadableFile() override { close(); }

  std::size_t read(char* buffer, std::size_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE || failed_) return 0;
    DWORD count = 0;
    if (::ReadFile(handle_, buffer, chunkSize(size), &count, nullptr)) return count;
    failed_ = true;
    return 0;
  }

  bool failed() const override { return failed_; }

  bool isSameFileAs(const std::string& path) const override {
    // The volume serial number and file index name one file whatever path led
    // to it: another letter case, a short 8.3 name or a hard link.
    const HANDLE named =
        ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareWithOthers | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION open{};
    BY_HANDLE_FILE_INFORMATION other{};
    const bool known =
        ::GetFileInformationByHandle(handle_, &open) && ::GetFileInformationByHandle(named, &other);
    ::CloseHandle(named);
    return known && open.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           open.nFileIndexHigh == other.nFileIndexHigh && open.nFileIndexLow == other.nFileIndexLow;
  }

  void close() override {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
  bool failed_ = false;
};

class Win32WritableFile : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE handle) : handle_(handle) {}
  ~Win32WritableFile() override { close(); }

  bool write(const char* data, std::size_t size) override {
    return handle_ != INVALID_HANDLE_VALUE && writeAll(handle_, data, size);
  }

  bool close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    const bool closed = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

class StandardOutputSink : public ByteSink {
 public:
  bool write(const char* data, std::size_t size) override {
    // A windowed program started from the desktop has no standard output.
    const HANDLE handle = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
    return writeAll(handle, data, size);
  }
};

class Win32Platform : public Platform {
 public:
  std::unique_ptr<ReadableFile> openForReading(const std::string& path) override {
    // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, kShareWithOthers, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32ReadableFile>(handle);
  }

  std::unique_ptr<WritableFile> createForWriting(const std::string& path) override {
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, kShareWithOthers, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32WritableFile>(handle);
  }

  void renameWithoutReplacing(const std::string& from, const std::string& to) override {
    // MoveFileA fails when `to` exists, so a backup is never replaced.
    ::MoveFileA(from.c_str(), to.c_str());
  }

  ByteSink& standardOutput() override { return standardOutput_; }

  void playCompletionChime() override {
    // Synchronous: returns when the sound has ended. Without a sound device
    // it returns at once; the result changes nothing.
    ::PlaySoundA(MAKEINTRESOURCEA(kChimeResource), ::GetModuleHandleA(nullptr), SND_RESOURCE);
  }

 private:
  StandardOutputSink standardOutput_;
};

void fillLeadByteTable() {
  const UINT codePage = ::GetACP();
  const std::span<const LeadByteRange> builtIn = builtInLeadByteRanges(static_cast<int>(codePage));
  if (!builtIn.empty()) {
    setLeadByteTable(builtIn);
    return;
  }
  std::vector<LeadByteRange> ranges;
  CPINFO info{};
  if (::GetCPInfo(codePage, &info) && info.MaxCharSize > 1) {
    // Pairs of first and last lead byte, ended by a zero byte.
    for (std::size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
      ranges.push_back({info.LeadByte[i], info.LeadByte[i + 1]});
    }
  }
  setLeadByteTable(ranges);
}

}  // namespace

Platform& systemPlatform() {
  static Win32Platform platform;
  return platform;
}

void prepareProcess() {
  // No dialog, ever: not for a missing disk or a crash from the system, nor
  // for an abort from the C runtime, which would otherwise show a message box
  // in a windowed program.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  ::_set_error_mode(_OUT_TO_STDERR);
  fillLeadByteTable();
}
