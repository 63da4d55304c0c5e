// Text conversions between the program's Windows-1252 and the desktop's UTF-8 and Latin-1.
#include <gtest/gtest.h>

#include <string>

#include "drivers/x11/Windows1252.h"

namespace {

using namespace x11;

TEST(Windows1252, EveryByteSurvivesTheTripThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = utf8From1252(all);
  EXPECT_EQ(cp1252FromUtf8(utf8), all);
  // 128 ASCII bytes of one byte; in 0x80-0x9F, 17 characters of three bytes and 15 of two;
  // 96 Latin-1 characters of two bytes.
  EXPECT_EQ(utf8.size(), 128u + 17u * 3 + 15u * 2 + 96u * 2);
}

TEST(Windows1252, HighControlRangeMapsToItsPrintableCharacters) {
  EXPECT_EQ(utf8From1252("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(utf8From1252("\x85"), "\xE2\x80\xA6");  // ellipsis
  EXPECT_EQ(utf8From1252("\x9F"), "\xC5\xB8");      // Y with diaeresis
  EXPECT_EQ(utf8From1252("\x81"), "\xC2\x81");      // undefined: its C1 control
  EXPECT_EQ(utf8From1252("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(codePointOf1252(0x96), U'\u2013');
  EXPECT_EQ(byteOf1252(U'\u2122'), 0x99);
  EXPECT_EQ(byteOf1252(U'\u0080'), '?');  // a C1 control that Windows-1252 replaced
  EXPECT_EQ(byteOf1252(U'\u0100'), '?');
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(cp1252FromUtf8("a\xE2\x86\x92z"), "a?z");            // arrow
  EXPECT_EQ(cp1252FromUtf8("\xF0\x9F\x98\x80!"), "?!");          // emoji: one character
  EXPECT_EQ(cp1252FromUtf8("\xD0\x96\xD0\xB4"), "??");           // Cyrillic
  EXPECT_EQ(cp1252FromUtf8("\xC5\x92uvre"), "\x8Cuvre");         // OE ligature
}

TEST(Windows1252, MalformedUtf8LosesOnlyTheBadBytes) {
  EXPECT_EQ(cp1252FromUtf8("a\x80" "b"), "a?b");                 // stray continuation
  EXPECT_EQ(cp1252FromUtf8("a\xFF" "b"), "a?b");                 // never a UTF-8 byte
  EXPECT_EQ(cp1252FromUtf8("ab\xE2\x82"), "ab??");               // cut short at the end
  EXPECT_EQ(cp1252FromUtf8("\xE2" "ab"), "?ab");                 // cut short by ASCII
  EXPECT_EQ(cp1252FromUtf8("\xC0\xAF"), "??");                   // overlong slash
  EXPECT_EQ(cp1252FromUtf8("\xE0\x80\xAF"), "???");              // overlong, three bytes
  EXPECT_EQ(cp1252FromUtf8("\xED\xA0\x80"), "???");              // surrogate
  EXPECT_EQ(cp1252FromUtf8("\xF4\x90\x80\x80"), "????");         // above U+10FFFF
  EXPECT_EQ(cp1252FromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(cp1252FromUtf8(""), "");
}

TEST(Windows1252, Latin1KeepsWhatItCanHold) {
  EXPECT_EQ(latin1From1252("\x80\xE9\x81z"), "?\xE9\x81z");
  EXPECT_EQ(cp1252FromLatin1("\xE9\x81\x80\xFF"), "\xE9\x81?\xFF");
}

TEST(Windows1252, LineEndsBetweenCrLfAndLf) {
  EXPECT_EQ(lfFromCrLf("a\r\nb\rc\n\r\n"), "a\nb\rc\n\n");
  EXPECT_EQ(lfFromCrLf("end\r"), "end\r");
  EXPECT_EQ(crLfFromLf("\na\nb\r\nc\r"), "\r\na\r\nb\r\nc\r");
  EXPECT_EQ(crLfFromLf("\n\n"), "\r\n\r\n");
  const std::string windows = "one\r\ntwo\r\n\r\nthree";
  EXPECT_EQ(crLfFromLf(lfFromCrLf(windows)), windows);
}

}  // namespace
