#include "data/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "data/cp874.h"
#include "data/ini_file.h"
#include "support/temp_dir.h"

namespace blend {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The [Section] headers and key names of a file, in order.
std::vector<std::string> lineHeads(const std::string& text) {
  std::vector<std::string> heads;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty()) continue;
    heads.push_back(line[0] == '[' ? line : line.substr(0, line.find('=')));
  }
  return heads;
}

class SettingsFile : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
};

TEST_F(SettingsFile, AFirstStartWritesEveryKeyAtItsDefaultInOrder) {
  const Settings s = loadSettings(std::nullopt);
  EXPECT_EQ(s.VARFILE, ".\\MAIN.INI");
  const std::string text = readFile("MAIN.INI");

  std::vector<std::string> expected;
  std::string section;
  for (const SettingsKey& key : settingsKeys()) {
    if (section != key.section) expected.push_back("[" + (section = key.section) + "]");
    expected.push_back(key.key);
  }
  EXPECT_EQ(lineHeads(text), expected);
  EXPECT_EQ(expected.size(), settingsKeys().size() + 9);  // nine sections

  IniFile ini("MAIN.INI");
  EXPECT_EQ(ini.value("Name", "Remark1"), tis("หมายเหตุ"));
  EXPECT_EQ(ini.value("Misc", "Barcode")->size(), 617u);
  EXPECT_EQ(ini.value("Misc", "Remote")->size(), 415u);
  EXPECT_EQ(ini.value("Comm", "Scale"), "1:9600,N,8,1");
  EXPECT_EQ(ini.value("Path", "Work"), ".\\WORK\\");

  EXPECT_EQ(s.CRNAME1, tis("หมายเหตุ"));
  EXPECT_EQ(s.CRNAME2, "");
  EXPECT_EQ(s.DRAW5, "FILLER");
  EXPECT_DOUBLE_EQ(s.DFAST3, 5);
  EXPECT_DOUBLE_EQ(s.DSLOW8, 0.1);
  EXPECT_DOUBLE_EQ(s.CWLIMIT, 0.5);
  EXPECT_DOUBLE_EQ(s.NFONTRATIO, 1);
  EXPECT_EQ(s.CCOLOR, 250u + 250u * 256 + 255u * 65536);
  EXPECT_EQ(s.OFONT0.face, "MS Sans Serif");
  EXPECT_DOUBLE_EQ(s.OFONT0.height, -25);
  EXPECT_TRUE(s.CUSER.empty());
}

TEST_F(SettingsFile, HandEditedValuesAreKeptAndMissingKeysAdded) {
  writeFile("MAIN.INI",
            "; plant 7\r\n[data]\r\nNAME =  Plant Seven  \r\n[MISC]\r\nw.limit=      0.75\r\n"
            "Remote=\r\nColor_R=1\r\n");
  const Settings s = loadSettings(std::nullopt);
  EXPECT_EQ(s.CHLINE, "Plant Seven");
  EXPECT_DOUBLE_EQ(s.CWLIMIT, 0.75);
  EXPECT_EQ(s.CRMTDATA, "");  // present but empty: not the default
  EXPECT_EQ(s.CCOLOR, 1u + 250u * 256 + 255u * 65536);

  const std::string text = readFile("MAIN.INI");
  EXPECT_EQ(text.rfind("; plant 7\r\n[data]\r\nNAME =  Plant Seven  \r\nAddress1=", 0), 0u)
      << "hand-written lines stay as they are, new keys join their section";
  IniFile ini("MAIN.INI");
  EXPECT_EQ(ini.value("Misc", "Remote"), "");
  EXPECT_EQ(ini.value("Misc", "W.Limit"), "0.75");
  EXPECT_EQ(ini.value("Link", "Auto"), "1");

  // A second start changes nothing more.
  loadSettings(std::nullopt);
  EXPECT_EQ(readFile("MAIN.INI"), text);
}

TEST_F(SettingsFile, NumericKeysConvert) {
  const struct {
    const char* ratio;
    double expected;
  } cases[] = {{"0", 1}, {"-2", 2}, {"abc", 1}, {"1.5", 1.5}, {"", 1}};
  for (const auto& c : cases) {
    writeFile("MAIN.INI", std::string("[Font]\r\nRatio=") + c.ratio + "\r\n[Misc]\r\nDecimal=x\r\n");
    const Settings s = loadSettings(std::nullopt);
    EXPECT_DOUBLE_EQ(s.NFONTRATIO, c.expected) << c.ratio;
    EXPECT_DOUBLE_EQ(s.CDEC, 0);
  }
}

TEST_F(SettingsFile, LongValuesAreCutAt1022Bytes) {
  writeFile("MAIN.INI", "[Data]\r\nName=" + std::string(1500, 'x') + "\r\n");
  EXPECT_EQ(loadSettings(std::nullopt).CHLINE, std::string(1022, 'x'));
}

TEST_F(SettingsFile, APathArgumentIsReadAndSavedTo) {
  fs::create_directories("conf");
  writeFile("conf/plant.ini", "[Data]\r\nName=Other\r\n");
  Settings s = loadSettings((fs::current_path() / "conf/plant.ini").string());
  EXPECT_EQ(s.CHLINE, "Other");
  EXPECT_FALSE(fs::exists("MAIN.INI"));
  s.CHLINE = "Changed";
  ASSERT_TRUE(SAVEINI(s));
  EXPECT_EQ(IniFile("conf/plant.ini").value("Data", "Name"), "Changed");
  EXPECT_FALSE(fs::exists("MAIN.INI"));
}

TEST_F(SettingsFile, AnUnwritableFileDoesNotStopTheStart) {
  writeFile("blocker", "a file where a folder should be");
  const Settings s = loadSettings("blocker/MAIN.INI");
  EXPECT_EQ(s.CMPORT, "12345678");
  EXPECT_FALSE(SAVEINI(s));
  EXPECT_FALSE(fs::exists("blocker/MAIN.INI.tmp"));
}

TEST_F(SettingsFile, SaveIniWritesTheEditableKeysInTheirForms) {
  writeFile("MAIN.INI", "[Comm]\r\nScale=2:4800,N,8,1\r\n");
  Settings s = loadSettings(std::nullopt);
  s.NFONTRATIO = 1;
  s.CWLIMIT = 0.5;
  s.CSTILLW = 12;
  s.DFAST1 = 5;
  s.DSLOW2 = 0.1;
  s.DBIG8 = 1234.567;
  s.CPAGEL = "55";
  s.CMPORT = "87654321";  // not an editable key: never saved
  ASSERT_TRUE(SAVEINI(s));

  IniFile ini("MAIN.INI");
  EXPECT_EQ(ini.value("Font", "Ratio"), "1");
  EXPECT_EQ(ini.value("Misc", "W.Limit"), "0.50");  // stored "      0.50", read back trimmed
  EXPECT_NE(readFile("MAIN.INI").find("W.Limit=      0.50\r\n"), std::string::npos);
  EXPECT_EQ(ini.value("Misc", "W.Still"), "12.00");
  EXPECT_EQ(ini.value("Setpoint", "Fast1"), "5.00");
  EXPECT_EQ(ini.value("Setpoint", "Slow2"), "0.10");
  EXPECT_EQ(ini.value("Setpoint", "Big8"), "1234.57");
  EXPECT_EQ(ini.value("Misc", "PageL"), "55");
  EXPECT_EQ(ini.value("Comm", "RawMat"), "12345678");
  EXPECT_EQ(ini.value("Comm", "Scale"), "2:4800,N,8,1");

  const Settings again = loadSettings(std::nullopt);
  EXPECT_DOUBLE_EQ(again.CWLIMIT, 0.5);
  EXPECT_DOUBLE_EQ(again.DBIG8, 1234.57);
}

TEST(SettingsFields, AreFoundByNameWithoutRegardToCase) {
  Settings s;
  s.CSERIAL = "0042";
  const SettingsKey* key = findSettingsField("cSerial");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(s.*std::get<std::string Settings::*>(key->member), "0042");
  EXPECT_EQ(findSettingsField("NOSUCH"), nullptr);
}

}  // namespace
}  // namespace blend
