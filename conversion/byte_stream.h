#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// Where raw bytes come from: an open file, or memory in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Reads up to `size` bytes into `buffer` and returns how many it read.
  /// Returns 0 at the end of the input and after a read error; `failed()`
  /// tells the two apart.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  virtual bool failed() const = 0;
};

/// Where raw bytes go: an open file, standard output, or memory in tests.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  /// Writes all `size` bytes; returns false when they could not all be written.
  virtual bool write(const char* data, std::size_t size) = 0;
};

/// A source over bytes held in memory. It hands out at most `largestRead`
/// bytes a read, so that tests can make block ends fall anywhere.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes, std::size_t largestRead = std::string_view::npos)
      : bytes_(bytes), largestRead_(largestRead) {}
  std::size_t read(char* buffer, std::size_t size) override;
  bool failed() const override { return false; }

 private:
  std::string_view bytes_;
  std::size_t largestRead_;
};

/// A sink that keeps every byte written to it.
class StringSink : public ByteSink {
 public:
  bool write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    return true;
  }
  std::string bytes;
};
