// Cases only the Windows executable has: the code page and the argument
// vector that Windows hands it, file names that differ only in letter case,
// and what the .exe file itself carries. Runs cap2batch.exe through a
// launcher (Wine) in fresh temporary folders, like the end-to-end suite.
//
// CAP2BATCH_EXE names the .exe, CAP2BATCH_LAUNCHER the command that starts it.
// CAP2BATCH_VERSION and CAP2BATCH_ICON (compile definitions) give the version
// and the icon file the .exe must carry.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "command_harness.h"
#include "folder_test.h"

namespace fs = std::filesystem;
using namespace command_harness;

namespace {

using Outcome = ProcessResult;

fs::path exePath() { return fs::absolute(executable("cap2batch.exe")); }

// Runs `words` in `folder` with `environment` added to this process's, and
// collects its standard output.
Outcome runWithEnvironment(const std::vector<std::string>& words, const fs::path& folder,
                           const std::map<std::string, std::string>& environment) {
  const auto setUpChild = [&environment] {
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
  };
  return runProcess(words, folder, {.setUpChild = setUpChild});
}

// The capture list runs of these cases, each in a fresh folder.
class WindowsRunTest : public FolderTest {
 protected:
  WindowsRunTest() : FolderTest("cap2batch-windows") {}

  static void TearDownTestSuite() { removeTemporaryFolder(locales_); }

  // Runs the program under `locale` (such as "ja_JP.UTF-8"), or under the
  // inherited one when it is empty.
  Outcome run(const std::vector<std::string>& arguments, const std::string& locale = "") const {
    std::vector<std::string> words = commandPrefix(exePath());
    words.insert(words.end(), arguments.begin(), arguments.end());
    if (locale.empty()) return runProcess(words, folder_);
    if (!haveLocale(locale)) return {};
    return runWithEnvironment(words, folder_, {{"LC_ALL", locale}, {"LOCPATH", locales_.string()}});
  }

  // Wine takes the ANSI code page from the locale's name, but converts names
  // and arguments with the C library's locale, which must exist for anything
  // beyond ASCII to pass. Locales are made as needed, in a private folder,
  // so the machine's own stay as they are.
  static bool haveLocale(const std::string& locale) {
    if (locales_.empty()) locales_ = makeTemporaryFolder("cap2batch-locales");
    if (locales_.empty()) return false;
    if (fs::exists(locales_ / locale)) return true;
    const std::string language = locale.substr(0, locale.find('.'));
    const std::string codeset = locale.substr(locale.find('.') + 1);
    const Outcome made = runProcess(
        {"localedef", "-i", language, "-f", codeset, (locales_ / locale).string()}, locales_);
    EXPECT_EQ(0, made.status) << "localedef for " << locale;
    return made.status == 0;
  }

  static inline fs::path locales_;
};

TEST_F(WindowsRunTest, CodePageComesFromTheSystemLocale) {
  // 0x95 begins a two-byte character under 932 and 949, 0xA1 only under 949;
  // a second byte 0x5C is then no separator. Under 1252 both are single bytes.
  struct Case {
    const char* locale;
    const char* codePage;
    std::string rows;
  };
  const Case cases[] = {
      {"en_US.UTF-8", "1252", "cp\ta\tb\t\r\ncp\ta\tb\t\r\n"},
      {"ja_JP.UTF-8", "932", "cp\ta\tb\t\x95\x5C\r\ncp\ta\tb\t\r\n"},
      {"ko_KR.UTF-8", "949", "cp\ta\tb\t\x95\x5C\r\ncp\ta\tb\t\xA1\x5C\r\n"},
  };
  for (const Case& c : cases) {
    put("cp.cbl", "1 a b c D:\\\x95\x5C.avi\r\n2 a b c D:\\\xA1\x5C.avi\r\n");
    const Outcome outcome = run({"cp.cbl"}, c.locale);
    EXPECT_EQ(0, outcome.status) << c.codePage;
    EXPECT_EQ(c.rows, readFile(folder_ / "cp.txt")) << c.codePage;
    fs::remove(folder_ / "cp.txt");
  }
}

TEST_F(WindowsRunTest, ArgumentsAreSplitAsTheCommandLineGroupsThem) {
  // Wine quotes each argument into one command line; the C runtime splits it
  // again. What reaches the program, byte for byte, shows in the IN line.
  struct Case {
    const char* locale;
    std::string argument;
    std::string received;  // in the ANSI code page
  };
  const Case cases[] = {
      {"en_US.UTF-8", "two words.cbl", "two words.cbl"},
      {"en_US.UTF-8", "tab\there.cbl", "tab\there.cbl"},
      {"en_US.UTF-8", "say \"hi\".cbl", "say \"hi\".cbl"},
      {"en_US.UTF-8", "ends in a backslash\\", "ends in a backslash\\"},
      // Never expanded, although a.cbl matches.
      {"en_US.UTF-8", "*.cbl", "*.cbl"},
      // U+8868 is 0x95 0x5C in code page 932: its second byte is no
      // backslash, so it does not escape the closing quote.
      {"ja_JP.UTF-8", "a \xE8\xA1\xA8", "a \x95\x5C"},
      {"ja_JP.UTF-8", "\xE8\xA1\xA8\"x", "\x95\x5C\"x"},
  };
  put("a.cbl", "1 a b c clip.avi\r\n");
  for (const Case& c : cases) {
    const Outcome outcome = run({c.argument, "second"}, c.locale);
    EXPECT_EQ(255, outcome.status) << c.argument;
    EXPECT_EQ("IN:" + c.received + "\r\n",
              outcome.standardOutput.substr(0, outcome.standardOutput.find('\n') + 1))
        << c.argument;
  }
  EXPECT_EQ(1u, contents().size());
}

TEST_F(WindowsRunTest, CaptureListNamedLikeItsBatchListInAnotherCaseIsLeftAlone) {
  // Windows finds a file whatever the letter case of its name, so each of
  // these inputs has itself as its batch list.
  struct Case {
    const char* onDisk;
    const char* argument;
  };
  const Case cases[] = {
      {"LIST.TXT", "LIST.TXT"},
      {"List.txt", "LIST.TXT"},
      {"Clips/Tape.TXT", "clips\\TAPE.TXT"},
  };
  for (const Case& c : cases) {
    put(c.onDisk, "1 a b c clip.avi\r\n");
    const auto before = contents();
    EXPECT_EQ(255, run({c.argument}).status) << c.argument;
    EXPECT_EQ(before, contents()) << c.argument;
    fs::remove_all(folder_ / fs::path(c.onDisk).begin()->string());
  }
}

// What the .exe file carries, read with the cross tools.
class WindowsExeFileTest : public testing::Test {
 protected:
  static std::string tool(const std::vector<std::string>& words) {
    const Outcome outcome = runProcess(words, fs::current_path());
    EXPECT_EQ(0, outcome.status) << words[0];
    return outcome.standardOutput;
  }
};

TEST_F(WindowsExeFileTest, IsAWindowedProgramThatNeedsOnlySystemDlls) {
  const std::string headers = tool({"x86_64-w64-mingw32-objdump", "-p", exePath().string()});
  EXPECT_TRUE(std::regex_search(headers, std::regex(R"(Subsystem\s+00000002\s+\(Windows GUI\))")));

  // DLLs that every Windows installation has; none of the compiler's own.
  const std::set<std::string> systemDlls = {"kernel32.dll", "msvcrt.dll", "user32.dll", "winmm.dll",
                                            "advapi32.dll"};
  const std::regex dllName(R"(DLL Name: (\S+))");
  int imports = 0;
  for (auto match = std::sregex_iterator(headers.begin(), headers.end(), dllName);
       match != std::sregex_iterator(); ++match) {
    std::string name = (*match)[1];
    for (char& letter : name) letter = static_cast<char>(std::tolower(letter));
    EXPECT_TRUE(systemDlls.contains(name)) << name;
    ++imports;
  }
  EXPECT_GT(imports, 0);
}

TEST_F(WindowsExeFileTest, CarriesTheIconAndTheVersion) {
  const std::string resources =
      tool({"x86_64-w64-mingw32-windres", "-i", exePath().string(), "-O", "rc"});

  // One icon, 32 by 32 pixels in 16 colours at 4 bits a pixel, whose image is
  // the one in the icon file.
  EXPECT_NE(std::string::npos, resources.find("RT_ICON"));
  EXPECT_NE(std::string::npos, resources.find("\"\\040\\040\\020\\000\", 1, 4,"));
  const std::string icon = readFile(CAP2BATCH_ICON).value_or("");
  ASSERT_GT(icon.size(), 22u);
  EXPECT_NE(std::string::npos, readFile(exePath()).value_or("").find(icon.substr(22)));

  const std::string version = CAP2BATCH_VERSION;
  std::string numbers = version;
  for (std::size_t dot; (dot = numbers.find('.')) != std::string::npos;) {
    numbers.replace(dot, 1, ", ");
  }
  EXPECT_NE(std::string::npos, resources.find("FILEVERSION " + numbers + ", 0"));
  EXPECT_NE(std::string::npos, resources.find("PRODUCTVERSION " + numbers + ", 0"));
  for (const std::string& value : std::vector<std::string>{
           "VALUE \"ProductName\", \"cap2batch\"",
           "VALUE \"FileDescription\", \"Turns a capture list into a batch list\"",
           "VALUE \"FileVersion\", \"" + version + "\"",
           "VALUE \"ProductVersion\", \"" + version + "\"",
           "VALUE \"OriginalFilename\", \"cap2batch.exe\"",
       }) {
    EXPECT_NE(std::string::npos, resources.find(value)) << value;
  }
}

}  // namespace
