// Two spellings of one file compare equal, whether the file exists yet or not.

#include "engine/files/file_identity.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>

namespace tivenor {
namespace {

class FileIdentityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tivenor-identity-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_ / "sub");
    std::ofstream(folder_ / "disc.bmp") << "picture";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  std::filesystem::path folder_;
};

TEST_F(FileIdentityTest, LinksAndOtherSpellingsOfAnExistingFileAreIt) {
  std::filesystem::create_hard_link(Path("disc.bmp"), Path("hard.bmp"));
  std::filesystem::create_symlink(Path("disc.bmp"), Path("soft.bmp"));
  EXPECT_TRUE(SameFile(Path("hard.bmp"), Path("disc.bmp")));
  EXPECT_TRUE(SameFile(Path("soft.bmp"), Path("disc.bmp")));
  EXPECT_TRUE(SameFile(Path("sub/../disc.bmp"), Path("disc.bmp")));
  std::ofstream(folder_ / "other.bmp") << "picture";
  EXPECT_FALSE(SameFile(Path("other.bmp"), Path("disc.bmp")));
  EXPECT_FALSE(SameFile(Path("disc.mid"), Path("disc.bmp")));
}

TEST_F(FileIdentityTest, NamesOfFilesStillToBeMadeCompareByFolderAndName) {
  EXPECT_TRUE(SameFile(Path("tune.mid"), Path("sub/../tune.mid")));
  EXPECT_TRUE(SameFile(Path("./tune.mid"), Path("tune.mid")));
  EXPECT_FALSE(SameFile(Path("tune.mid"), Path("sub/tune.mid")));
  EXPECT_FALSE(SameFile(Path("tune.mid"), Path("tune.png")));
  EXPECT_FALSE(SameFile(Path("missing/tune.mid"), Path("missing/tune.mid")));
}

// A name written through a link replaces what the link leads to, even before that exists.
TEST_F(FileIdentityTest, NamesOfFilesStillToBeMadeFollowLinks) {
  std::filesystem::create_symlink("sub/tune.mid", folder_ / "link.mid");
  EXPECT_TRUE(SameFile(Path("link.mid"), Path("sub/tune.mid")));
  EXPECT_FALSE(SameFile(Path("link.mid"), Path("tune.mid")));
}

TEST_F(FileIdentityTest, LinksAtTheEndOfAPathAreFollowed) {
  std::filesystem::create_symlink("disc.bmp", folder_ / "near.bmp");
  std::filesystem::create_symlink(Path("near.bmp"), folder_ / "far.bmp");
  std::filesystem::create_symlink("../missing.bmp", folder_ / "sub" / "up.bmp");
  EXPECT_EQ(WithLinksFollowed(Path("far.bmp")), Path("disc.bmp"));
  EXPECT_EQ(WithLinksFollowed(Path("sub/up.bmp")), Path("sub/../missing.bmp"));
  EXPECT_EQ(WithLinksFollowed(Path("disc.bmp")), Path("disc.bmp"));
  EXPECT_EQ(WithLinksFollowed("missing.bmp"), "missing.bmp");
  std::filesystem::create_symlink("loop.bmp", folder_ / "loop.bmp");
  errno = 0;
  EXPECT_EQ(WithLinksFollowed(Path("loop.bmp")), std::nullopt);
  EXPECT_EQ(errno, ELOOP);
}

TEST_F(FileIdentityTest, OnlyExistingNonRegularFilesAreOtherThanRegular) {
  EXPECT_TRUE(IsOtherThanRegularFile(Path("sub")));
  EXPECT_TRUE(IsOtherThanRegularFile("/dev/null"));
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  std::filesystem::create_symlink("pipe", folder_ / "to-pipe");
  EXPECT_TRUE(IsOtherThanRegularFile(Path("to-pipe")));
  EXPECT_FALSE(IsOtherThanRegularFile(Path("disc.bmp")));
  EXPECT_FALSE(IsOtherThanRegularFile(Path("missing.mid")));
}

}  // namespace
}  // namespace tivenor
