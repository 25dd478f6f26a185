#include "data/cp874.h"

#include <gtest/gtest.h>

namespace blend {
namespace {

TEST(Cp874, MapsTheThaiBlockAndTheWindowsAdditions) {
  const struct {
    unsigned char byte;
    char32_t cp;
  } cases[] = {{0x41, U'A'},     {0x80, 0x20AC}, {0x85, 0x2026}, {0x91, 0x2018},
               {0x97, 0x2014},   {0xA0, 0x00A0}, {0xA1, 0x0E01}, {0xDA, 0x0E3A},
               {0xDF, 0x0E3F},   {0xFB, 0x0E5B}};
  for (const auto& c : cases) {
    EXPECT_EQ(cp874ToUnicode(c.byte), c.cp) << int(c.byte);
    EXPECT_EQ(unicodeToCp874(c.cp), c.byte) << int(c.byte);
  }
}

TEST(Cp874, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(utf8ToCp874(cp874ToUtf8(all)), all);
}

TEST(Cp874, ThaiTextIsOneBytePerCharacter) {
  EXPECT_EQ(tis("หมายเหตุ"), "\xCB\xC1\xD2\xC2\xE0\xCB\xB5\xD8");
  EXPECT_EQ(cp874ToUtf8("\xCB\xC1\xD2\xC2\xE0\xCB\xB5\xD8"), "หมายเหตุ");
}

TEST(Cp874, CharactersWithoutAByteAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(utf8ToCp874("caf\xC3\xA9"), "caf?");
  EXPECT_EQ(utf8ToCp874("a\xE0\xB8"), "a?");   // cut short
  EXPECT_EQ(utf8ToCp874("\xFF" "b"), "?b");     // no such lead byte
}

}  // namespace
}  // namespace blend
