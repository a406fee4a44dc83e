// The repair's decisions on the labelled set of real tag texts: GBK tags listed and read
// right, Latin-1 tags left alone, the same texts once stored as garbage in Unicode found
// again, and genuine accented Western texts in Unicode never taken for garbage.
#include <gtest/gtest.h>

#include <iostream>

#include "support/id3_builder.h"
#include "support/labelled_tags.h"
#include "support/temp_folder.h"
#include "tageditor/repair_findings.h"

namespace quilvane {
namespace {

using test::audio;
using test::frame;
using test::hasHighBytes;
using test::labelledTags;
using test::tag;
using test::TempFolder;

std::string utf16(const std::string& utf8) {
    std::string out = "\x01\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size();) {
        // Only characters below U+0800 and CJK below U+10000 occur here.
        const auto c = static_cast<unsigned char>(utf8[i]);
        unsigned cp;
        if (c < 0x80) cp = c, i += 1;
        else if (c < 0xE0) cp = ((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F), i += 2;
        else cp = ((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F), i += 3;
        out += static_cast<char>(cp & 0xFF);
        out += static_cast<char>(cp >> 8);
    }
    return out;
}

const char* idOf(const std::string& kind) { return kind == "title" ? "TIT2" : kind == "artist" ? "TPE1" : "TALB"; }

std::vector<RepairFinding> findingsOfTag(TempFolder& dir, const std::vector<std::string>& frames) {
    return findingsOf(dir.write("a.mp3", tag(3, frames) + audio(300)));
}

TEST(LegacyRepairDetection, DecisionsOnTheLabelledSet) {
    TempFolder dir;
    int gbkTags = 0, gbkListed = 0, gbkReadRight = 0, latinTags = 0, latinLeft = 0;
    int garbledTags = 0, garbledFound = 0, genuineTags = 0, genuineTaken = 0;
    for (const auto& [id, fields] : labelledTags()) {
        std::vector<std::string> legacy, unicode, garbled;
        bool high = false;
        for (const auto& f : fields) {
            high = high || hasHighBytes(f.bytes);
            legacy.push_back(frame(3, idOf(f.kind), std::string(1, '\0') + f.bytes));
            unicode.push_back(frame(3, idOf(f.kind), utf16(f.text)));
            garbled.push_back(frame(3, idOf(f.kind), utf16(decodeLegacy(f.bytes, LegacyCharset::Latin1))));
        }
        if (!high) continue;
        const bool isGbk = fields.front().charset == LegacyCharset::Gbk;
        const auto asLegacy = findingsOfTag(dir, legacy);
        if (isGbk) {
            ++gbkTags;
            gbkListed += !asLegacy.empty();
            bool right = !asLegacy.empty();
            for (const RepairFinding& f : asLegacy) {
                const auto field = std::find_if(fields.begin(), fields.end(), [&](const auto& l) { return idOf(l.kind) == f.frameId; });
                right = right && field != fields.end() && f.readAs() == field->text;
            }
            gbkReadRight += right;
            ++garbledTags;
            const auto asGarbled = findingsOfTag(dir, garbled);
            garbledFound += !asGarbled.empty() && asGarbled.front().kind == RepairKind::StoredMojibake;
        } else {
            ++latinTags;
            latinLeft += asLegacy.empty();
            ++genuineTags;
            const auto asUnicode = findingsOfTag(dir, unicode);
            if (!asUnicode.empty()) {
                ++genuineTaken;
                std::cout << "    taken for garbage: " << fields.front().text << " / " << fields[1].text << "\n";
            }
        }
    }
    std::cout << "GBK tags listed: " << gbkListed << "/" << gbkTags << ", read right: " << gbkReadRight << "/" << gbkTags
              << "\nLatin-1 tags left alone: " << latinLeft << "/" << latinTags
              << "\nGBK stored as garbage in Unicode found: " << garbledFound << "/" << garbledTags
              << "\nGenuine Latin-1 texts in Unicode taken for garbage: " << genuineTaken << "/" << genuineTags << "\n";
    EXPECT_EQ(gbkReadRight, gbkTags);
    EXPECT_EQ(latinLeft, latinTags);
    EXPECT_EQ(garbledFound, garbledTags);
    EXPECT_EQ(genuineTaken, 0);
    EXPECT_GE(gbkTags, 50);
    EXPECT_GE(latinTags, 30);
}

// Accented Western names stored in Unicode, one to a tag: too little text to judge by
// the rest of a tag, where a false alarm is likeliest.
TEST(LegacyRepairDetection, AccentedWesternNamesAloneAreNotGarbage) {
    TempFolder dir;
    const char* names[] = {"Björk", "Mötley Crüe", "Beyoncé", "Sigur Rós", "Motörhead", "Café Tacvba", "Françoise Hardy",
                           "Édith Piaf", "Señor Coconut", "Håkan Hellström", "Jóhann Jóhannsson", "Ólafur Arnalds",
                           "Mägo de Oz", "Hüsker Dü", "Blue Öyster Cult", "Queensrÿche", "Zoë Keating", "Röyksopp",
                           "Sinéad O'Connor", "Antonín Dvořák", "Mötörhead", "Déjà Vu", "Niña Pastori", "Åge Aleksandersen",
                           "Ñu", "Ça plane pour moi", "Über", "Garçon", "Crème Brûlée", "Maître Gims"};
    int taken = 0;
    for (const char* name : names) {
        if (!findingsOfTag(dir, {frame(3, "TPE1", utf16(name))}).empty()) {
            ++taken;
            std::cout << "    taken for garbage: " << name << "\n";
        }
    }
    std::cout << "Accented Western names alone taken for garbage: " << taken << "/" << std::size(names) << "\n";
    EXPECT_EQ(taken, 0);
}

}  // namespace
}  // namespace quilvane
