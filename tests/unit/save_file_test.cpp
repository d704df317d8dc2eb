// The one way files are saved: the whole new file or the old one, never anything between, and
// never in the place of what is no regular file; the error names the file the user named.

#include "engine/files/save_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/base/run_error.h"

namespace tivenor {
namespace {

class SaveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tivenor-save-file-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // The message of the RunError that saving `bytes` to `name` throws; "" when it throws none.
  std::string SaveError(const std::string& name, const std::string& bytes,
                        const ReplaceRule& rule = {}) const {
    try {
      SaveFile({Path(name), "disc"}, bytes, rule);
    } catch (const RunError& error) {
      return error.what();
    }
    return "";
  }
  std::filesystem::path folder_;
};

TEST_F(SaveFileTest, TheNewFileTakesTheOldOnesPlaceAndPermissions) {
  Write("disc.svg", std::string(10000, 'o'));
  ASSERT_EQ(chmod(Path("disc.svg").c_str(), 0640), 0);
  EXPECT_EQ(SaveError("disc.svg", "new"), "");
  EXPECT_EQ(Read("disc.svg"), "new");
  struct stat status {};
  ASSERT_EQ(stat(Path("disc.svg").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"disc.svg"});
}

// A file reached through links is written where they lead; the links stay links.
TEST_F(SaveFileTest, ALinkedFileIsWrittenWhereTheLinkLeads) {
  std::filesystem::create_directory(folder_ / "discs");
  Write("discs/disc.svg", "old");
  std::filesystem::create_symlink("discs/disc.svg", folder_ / "near.svg");
  std::filesystem::create_symlink(Path("near.svg"), folder_ / "far.svg");
  EXPECT_EQ(SaveError("far.svg", "new"), "");
  EXPECT_EQ(Read("discs/disc.svg"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "far.svg"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "near.svg"));
  // A link to nothing yet makes the file it names.
  std::filesystem::create_symlink("discs/later.svg", folder_ / "later.svg");
  EXPECT_EQ(SaveError("later.svg", "made"), "");
  EXPECT_EQ(Read("discs/later.svg"), "made");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "discs"),
                          std::filesystem::directory_iterator()),
            2);
}

TEST_F(SaveFileTest, WhatIsNoRegularFileIsNeverReplaced) {
  ASSERT_EQ(mkfifo(Path("pipe.svg").c_str(), 0600), 0);
  std::filesystem::create_symlink("pipe.svg", folder_ / "to-pipe.svg");
  std::filesystem::create_directory(folder_ / "folder.svg");
  for (const std::string name : {"pipe.svg", "to-pipe.svg", "folder.svg"}) {
    EXPECT_EQ(SaveError(name, "new"), "The disc \"" + Path(name) +
                                          "\" would replace something that is not a regular "
                                          "file: nothing written");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(folder_ / "pipe.svg"));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "folder.svg"));
  std::filesystem::create_symlink("loop.svg", folder_ / "loop.svg");
  EXPECT_EQ(SaveError("loop.svg", "new"),
            "\"" + Path("loop.svg") + "\": Too many levels of symbolic links");
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "loop.svg"));
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{"folder.svg", "loop.svg", "pipe.svg", "to-pipe.svg"}));
}

TEST_F(SaveFileTest, AFailureNamesTheFileNotItsTemporary) {
  EXPECT_EQ(SaveError("gone/disc.svg", "new"),
            "\"" + Path("gone/disc.svg") + "\": No such file or directory");
  // The longest name a folder holds leaves no room for a longer temporary one.
  const std::string longest(255, 'd');
  EXPECT_EQ(SaveError(longest, "new"), "");
  EXPECT_EQ(Read(longest), "new");
}

TEST_F(SaveFileTest, AReplaceRuleKeepsWhatItDoesNotRecognise) {
  const ReplaceRule ownOnly{8, [](std::string_view bytes) { return bytes.rfind("OWN", 0) == 0; }};
  Write("mine", "OWN 1");
  EXPECT_EQ(SaveError("mine", "OWN 2", ownOnly), "");
  EXPECT_EQ(Read("mine"), "OWN 2");
  for (const std::string other : {"yours", "OWN but longer than eight", ""}) {
    Write("other", other);
    EXPECT_EQ(SaveError("other", "OWN 3", ownOnly),
              "The disc \"" + Path("other") +
                  "\" would replace a file Tivenor did not write: nothing written");
    EXPECT_EQ(Read("other"), other);
  }
  EXPECT_EQ(SaveError("new", "OWN 4", ownOnly), "");
}

// Nothing is left behind when the saver is given up before its save, or when a signal ends the
// program while it writes; the signal then still ends the program.
TEST_F(SaveFileTest, NoTemporaryOutlivesTheSaveOrTheProgram) {
  Write("disc.svg", "old");
  { const FileSaver abandoned({Path("disc.svg"), "disc"}); }
  EXPECT_EQ(Entries(), std::vector<std::string>{"disc.svg"});

  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(signal, SIG_DFL);  // as a program started from a terminal
      const FileSaver saver({Path("disc.svg"), "disc"});
      raise(signal);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << ": " << status;
    EXPECT_EQ(Entries(), std::vector<std::string>{"disc.svg"}) << signal;
  }
  EXPECT_EQ(Read("disc.svg"), "old");

  // The signals' actions are the program's own again afterwards.
  struct sigaction action {};
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &action), 0);
  const auto before = action.sa_handler;
  SaveFile({Path("disc.svg"), "disc"}, "new");
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &action), 0);
  EXPECT_EQ(action.sa_handler, before);
}

}  // namespace
}  // namespace tivenor
