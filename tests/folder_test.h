#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace command_harness {

/// A test that works in a fresh temporary folder of its own, removed after it.
class FolderTest : public testing::Test {
 protected:
  /// The folder's name starts with `prefix`.
  explicit FolderTest(std::string prefix) : prefix_(std::move(prefix)) {}

  void SetUp() override;
  void TearDown() override;

  std::filesystem::path at(const std::string& name) const { return folder_ / name; }

  /// Writes `bytes` to the file `name`, making the folders on its way.
  void put(const std::string& name, const std::string& bytes) const;

  /// The bytes of the file `name`; nothing when it is a folder or missing.
  std::optional<std::string> get(const std::string& name) const;

  /// Every entry of the folder with its bytes, to check that nothing else
  /// appeared, vanished or changed.
  std::map<std::string, std::string> contents() const;

  std::filesystem::path folder_;

 private:
  std::string prefix_;
};

}  // namespace command_harness
