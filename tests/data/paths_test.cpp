#include "data/paths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace blend {
namespace {

namespace fs = std::filesystem;

TEST(NativePath, FindsExistingNamesWithoutRegardToCase) {
  test::TempDir dir;
  fs::create_directories(dir / "library");
  std::ofstream(dir / "library" / "Main.bmp") << "x";
  test::ScopedCwd cwd(dir.path());

  EXPECT_EQ(nativePath(".\\LIBRARY\\MAIN.BMP"), fs::path("./library/Main.bmp"));
  EXPECT_EQ(nativePath(".\\LIBRARY\\", "main.BMP"), fs::path("./library/Main.bmp"));
  // A name that does not exist yet keeps its spelling, under the directory that does.
  EXPECT_EQ(nativePath(".\\Library\\", "New.DBF"), fs::path("./library/New.DBF"));
  EXPECT_EQ(nativePath(".\\WORK\\", "X.DBF"), fs::path("./WORK/X.DBF"));
}

TEST(NativePath, JoinsAndConvertsSeparators) {
  EXPECT_EQ(nativePath("/srv/blend", "A.DBF"), fs::path("/srv/blend/A.DBF"));
  EXPECT_EQ(nativePath("\\\\srv\\data\\", "A.DBF"), fs::path("/srv/data/A.DBF"));
  EXPECT_EQ(nativePath("", "A.DBF"), fs::path("A.DBF"));
  EXPECT_EQ(nativePath(".\\", "A.DBF"), fs::path("./A.DBF"));
}

TEST(NativePath, ThaiNamesBecomeUtf8) {
  EXPECT_EQ(nativePath(".\\", "\xCB\xC1\xD2\xC2.TXT"), fs::path("./หมาย.TXT"));
}

}  // namespace
}  // namespace blend
