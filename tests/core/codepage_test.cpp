// The legacy code page: GBK tags and names read as Chinese, Latin-1 leftovers read as
// Latin-1, and cuts to a byte width never split a character.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/display_name.h"

namespace quilvane {
namespace {

TEST(CodePage, ReadsGbkAsChineseAndFallsBackToLatin1) {
    EXPECT_EQ(legacyToUtf8("\xC1\xF5\xC8\xF4\xD3\xA2"), "刘若英");
    EXPECT_EQ(legacyToUtf8("Plain ASCII"), "Plain ASCII");
    EXPECT_EQ(legacyToUtf8("Caf\xE9"), "Café");          // ends inside a double-byte pair
    EXPECT_EQ(legacyToUtf8("Caf\xE9 au lait"), "Café au lait");  // E9 20 is no GBK pair
    EXPECT_EQ(legacyToUtf8("\xFF\xFE"), "ÿþ");
}

// A path is shown a component at a time: a GBK name in a folder named in UTF-8.
TEST(CodePage, APathIsShownAComponentAtATime) {
    const std::string gbkName = "\xD6\xD0\xCE\xC4.mp3";  // 中文.mp3 in GBK
    EXPECT_EQ(displayName("/music/老歌/" + gbkName), "/music/老歌/中文.mp3");
    EXPECT_EQ(displayName("\xC0\xCF\xB8\xE8/" + gbkName), "老歌/中文.mp3") << "both in GBK";
    EXPECT_EQ(displayName("/music/Björk/a.mp3"), "/music/Björk/a.mp3");
}

TEST(CodePage, WritesGb18030AndRoundTrips) {
    EXPECT_EQ(utf8ToLegacy("刘若英"), "\xC1\xF5\xC8\xF4\xD3\xA2");
    for (const char* text : {"孙燕姿 - 遇见", "ASCII only", "한국어 and 日本語", "€ sign", "Amélie"})
        EXPECT_EQ(legacyToUtf8(utf8ToLegacy(text)), text);
}

TEST(CodePage, CutsWithoutSplittingACharacter) {
    const std::string gbk = utf8ToLegacy("中文歌");  // six bytes
    EXPECT_EQ(cutLegacyToWidth(gbk, 6), gbk);
    EXPECT_EQ(cutLegacyToWidth(gbk, 5), gbk.substr(0, 4));
    EXPECT_EQ(cutLegacyToWidth(gbk, 1), "");
    EXPECT_EQ(utf8ToLegacyWidth("ab中", 3), "ab");
    // A four-byte GB18030 character (outside GBK) is dropped whole as well.
    const std::string emoji = utf8ToLegacy("a😀");
    ASSERT_EQ(emoji.size(), 5u);
    EXPECT_EQ(cutLegacyToWidth(emoji, 4), "a");
    EXPECT_EQ(utf8ToLegacyWidth(std::string(40, 'x'), 30).size(), 30u);
}

}  // namespace
}  // namespace quilvane
