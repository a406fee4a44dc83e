#pragma once
// What needs repair in an old collection: texts in a legacy code page that modern players
// read as Latin-1 ("ÍõÿÆ" for 王菲), texts already stored as such garbage in Unicode, GBK
// ID3v1 texts that no ID3v2 tag carries, and names that are not UTF-8. One finding per
// text; each carries the text's bytes, so that another reading can be chosen for it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"
#include "platform/legacy_text.h"

namespace quilvane {

enum class RepairKind : std::uint8_t {
    LegacyFrame,     // an ID3v2 frame in a legacy code page (encoding 0, or UTF-8 that is not)
    StoredMojibake,  // an ID3v2 frame in Unicode whose characters are a legacy text read as Latin-1
    Id3v1Only,       // an ID3v1 field in a legacy code page that no ID3v2 frame carries
    LegacyName,      // a file or folder name that is not UTF-8
};

struct RepairFinding {
    std::string path;  // the file (or folder) as found
    RepairKind kind = RepairKind::LegacyFrame;
    std::string frameId;          // the ID3v2 frame it is in, or the one an ID3v1 field goes to
    std::size_t frameIndex = 0;   // its position among the tag's frames (LegacyFrame, StoredMojibake)
    int field = -1;               // the ID3v1 field (index in kTextFields) for Id3v1Only
    bool folder = false;          // LegacyName of a folder
    // The text's bytes in its legacy code page, string by string (a comment's description
    // and text; the values of a text frame).
    std::vector<std::string> pieces;
    std::string stored;   // StoredMojibake: the text as it stands in the tag
    std::string content;  // the frame's content as scanned, to tell a later change
    LegacyReading detected;
    LegacyCharset reading = LegacyCharset::Gbk;  // as chosen; starts as detected
    bool checked = true;

    // "ID3v2 TIT2（标题）", "ID3v1 歌手 → ID3v2 TPE1", "文件名", "文件夹名"
    std::string where() const;
    // What other programs show today: the bytes read as Latin-1, the stored garbage, or a
    // name with its unreadable bytes as "�".
    std::string shownToday() const;
    // The text in the chosen reading.
    std::string readAs() const;
    std::vector<std::string> piecesAs(LegacyCharset charset) const;
};

// The findings of one MP3 file's tags (both read through one opening) and of its name.
// Throws FileError when the file cannot be read.
std::vector<RepairFinding> findingsOf(const std::string& path, OpenFile::Known known = OpenFile::Known::Nothing);
// The finding of a name alone (a folder's, or a file that is not MP3), if it is not UTF-8.
std::vector<RepairFinding> nameFindingOf(const std::string& path, bool folder);

// The legacy bytes of a Unicode text that is a legacy text read as Latin-1 (or as
// Windows-1252): every character one byte; nothing when a character is not.
std::optional<std::string> latin1BytesOf(std::string_view utf8);

// COMM and USLT (a language, a description and a text), in any version.
bool isCommentLikeFrame(std::string_view id);

// The readings a user may choose for a row.
inline constexpr LegacyCharset kRepairReadings[] = {LegacyCharset::Gbk, LegacyCharset::Big5, LegacyCharset::ShiftJis,
                                                    LegacyCharset::Latin1};

}  // namespace quilvane
