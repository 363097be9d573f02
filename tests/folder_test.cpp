#include "folder_test.h"

#include <fstream>

#include "command_harness.h"

namespace fs = std::filesystem;

namespace command_harness {

void FolderTest::SetUp() {
  folder_ = makeTemporaryFolder(prefix_);
  ASSERT_FALSE(folder_.empty());
}

void FolderTest::TearDown() { removeTemporaryFolder(folder_); }

void FolderTest::put(const std::string& name, const std::string& bytes) const {
  fs::create_directories(at(name).parent_path());
  std::ofstream(at(name), std::ios::binary) << bytes;
}

std::optional<std::string> FolderTest::get(const std::string& name) const {
  return readFile(at(name));
}

std::map<std::string, std::string> FolderTest::contents() const { return folderContents(folder_); }

}  // namespace command_harness
