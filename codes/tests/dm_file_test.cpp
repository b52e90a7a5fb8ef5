#include "codes/dm_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace gz::codes {
namespace {

namespace fs = std::filesystem;

class DmFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gz_dm_file_test_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_ / "dm.txt", fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  fs::path write(const std::string& bytes) {
    std::ofstream out(dir_ / "dm.txt", std::ios::binary | std::ios::trunc);
    out << bytes;
    return dir_ / "dm.txt";
  }
  fs::path dir_;
};

TEST_F(DmFileTest, MissingFileLeavesAnEmptyMap) {
  CodeMap map;
  map.set("old", "1");
  const DmLoadOutcome r = loadDmFile(map, dir_ / "dm.txt");
  EXPECT_EQ(r.status, DmLoadOutcome::Status::Missing);
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.lookup("old"), "");
}

TEST_F(DmFileTest, AFolderNamedLikeTheFileCountsAsMissing) {
  fs::create_directory(dir_ / "dm.txt");
  CodeMap map;
  EXPECT_EQ(loadDmFile(map, dir_ / "dm.txt").status, DmLoadOutcome::Status::Missing);
}

TEST_F(DmFileTest, ReloadAfterAnEditDropsRemovedLines) {
  CodeMap map;
  const fs::path p = write("\xC4\xD0=1\r\n\xC5\xAE=2\r\n");  // 男=1, 女=2
  DmLoadOutcome r = loadDmFile(map, p);
  EXPECT_EQ(r.status, DmLoadOutcome::Status::Loaded);
  EXPECT_EQ(r.entries, 2u);
  EXPECT_FALSE(r.fromUtf8);
  map.lookup("absent");  // lookups add entries that the next load removes

  write("\xC4\xD0=M\r\n");
  r = loadDmFile(map, p);
  EXPECT_EQ(r.entries, 1u);
  EXPECT_EQ(map.size(), 1u);
  EXPECT_EQ(map.lookup("\xC4\xD0"), "M");
  EXPECT_EQ(map.lookup("\xC5\xAE"), "");
}

TEST_F(DmFileTest, EmptyFileLoadsNothing) {
  CodeMap map;
  const DmLoadOutcome r = loadDmFile(map, write(""));
  EXPECT_EQ(r.status, DmLoadOutcome::Status::Loaded);
  EXPECT_EQ(r.entries, 0u);
}

TEST_F(DmFileTest, Utf8FileIsConverted) {
  CodeMap map;
  const DmLoadOutcome r = loadDmFile(map, write("\xEF\xBB\xBF\xE7\x94\xB7=1\n"));
  EXPECT_TRUE(r.fromUtf8);
  EXPECT_EQ(map.lookup("\xC4\xD0"), "1");
}

TEST_F(DmFileTest, DefaultPathIsTheWorkingDirectory) {
  const fs::path before = fs::current_path();
  write("a=1\n");
  fs::current_path(dir_);
  CodeMap map;
  const DmLoadOutcome r = loadDmFile(map);
  fs::current_path(before);
  EXPECT_EQ(r.status, DmLoadOutcome::Status::Loaded);
  EXPECT_EQ(map.lookup("a"), "1");
}

TEST_F(DmFileTest, APathThatCannotBeExaminedIsAnErrorNamingTheFile) {
  CodeMap map;
  map.set("old", "1");
  const fs::path p = dir_ / (std::string(300, 'x') + ".txt");
  try {
    loadDmFile(map, p);
    FAIL() << "expected DmFileError";
  } catch (const DmFileError& e) {
    EXPECT_NE(std::string(e.what()).find("xxxx.txt"), std::string::npos) << e.what();
    EXPECT_EQ(e.path(), p);
  }
  EXPECT_EQ(map.size(), 0u);
}

TEST_F(DmFileTest, AFileWithoutReadPermissionIsAnError) {
  const fs::path p = write("a=1\n");
  fs::permissions(p, fs::perms::none);
  if (std::ifstream(p).good()) GTEST_SKIP() << "running with rights that read any file";
  CodeMap map;
  EXPECT_THROW(loadDmFile(map, p), DmFileError);
}

#ifdef __linux__
TEST_F(DmFileTest, AReadErrorIsAnError) {
  // Opens like any file but fails at the first read.
  CodeMap map;
  EXPECT_THROW(loadDmFile(map, "/proc/self/mem"), DmFileError);
}
#endif

// The same code file saved by a Windows editor (GBK, CR LF) and by Linux
// editors (UTF-8, with and without the byte order mark).
TEST(DmSampleFilesTest, EveryEncodingGivesTheSameMap) {
  const fs::path dir = fs::path(GZ_TEST_DATA) / "codes";
  CodeMap gbk;
  const DmLoadOutcome g = loadDmFile(gbk, dir / "dm_gbk.txt");
  EXPECT_FALSE(g.fromUtf8);
  EXPECT_EQ(g.entries, 16u);
  EXPECT_EQ(gbk.lookup("\xBA\xBA\xD7\xE5"), "01");  // 汉族
  EXPECT_EQ(gbk.lookup("\xC5\xAE"), "2");            // 女
  for (const char* name : {"dm_utf8.txt", "dm_utf8_bom.txt"}) {
    CodeMap utf8;
    const DmLoadOutcome u = loadDmFile(utf8, dir / name);
    EXPECT_TRUE(u.fromUtf8) << name;
    EXPECT_TRUE(u.unreadableLines.empty()) << name;
    EXPECT_EQ(utf8.entries(), gbk.entries()) << name;
  }
}

}  // namespace
}  // namespace gz::codes
