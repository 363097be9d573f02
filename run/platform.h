#pragma once

#include <memory>
#include <string>

#include "conversion/byte_stream.h"

// The operating-system seam. Everything that differs between Windows and POSIX
// goes through these types; each platform implements them in its own file.

/// A file open for reading. Other readers and writers are not denied.
class ReadableFile : public ByteSource {
 public:
  /// True when `path` names this very file (through another letter case, a
  /// short name or a link), as far as the system can tell; false when `path`
  /// names another file or none.
  virtual bool isSameFileAs(const std::string& path) const = 0;
  virtual void close() = 0;
};

/// A file open for writing, created empty or cut to length 0.
class WritableFile : public ByteSink {
 public:
  /// Returns false when the system reports an error while closing.
  virtual bool close() = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  /// Opens an existing file for reading. Returns null when it cannot: missing,
  /// a directory, no right to read, an empty path.
  virtual std::unique_ptr<ReadableFile> openForReading(const std::string& path) = 0;

  /// Creates a file, or cuts an existing one to length 0, for writing. Returns
  /// null when it cannot: a directory stands there, no right, no such folder.
  virtual std::unique_ptr<WritableFile> createForWriting(const std::string& path) = 0;

  /// Renames `from` to `to` unless a file named `to` exists; never replaces
  /// one. Whether it worked is not reported: the run goes on either way.
  virtual void renameWithoutReplacing(const std::string& from, const std::string& to) = 0;

  /// Standard output. Writing to it never fails loudly: a process without one
  /// (a windowed program started from the desktop) drops the bytes.
  virtual ByteSink& standardOutput() = 0;

  /// Plays the completion chime and returns when it has ended. Never fails:
  /// without a sound device it returns at once.
  virtual void playCompletionChime() = 0;
};

/// The platform the program runs on.
Platform& systemPlatform();

/// Makes the process ready before the run: fills the lead-byte table from the
/// active code page and keeps signals from ending the process where an error
/// return is wanted instead.
void prepareProcess();
