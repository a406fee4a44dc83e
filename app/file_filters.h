#pragma once
// The file-type filter offered beside the folder tree: description and mask, in order.
#include <array>
#include <string_view>

namespace quilvane {

struct FileFilter {
    std::string_view description;
    std::string_view mask;
};

inline constexpr std::array<FileFilter, 15> kFileFilters{{
    {"All files (*.*)", "*.*"},
    {"Lyric File(*.lrc)", "*.lrc"},
    {"mp3 file(*.mp3)", "*.mp3"},
    {"RM File(*.rm)", "*.rm"},
    {"Wav File(*.wav)", "*.wav"},
    {"Wma File(*.wma)", "*.wma"},
    {"Text File(*.txt)", "*.txt"},
    {"Html File(*.htm)", "*.htm"},
    {"Help File(*.chm)", "*.chm"},
    {"ICO File(*.ico)", "*.ico"},
    {"BMP File(*.bmp)", "*.bmp"},
    {"Jpg File(*.jpg) ", "*.jpg"},
    {"Jpeg File(*.jpeg)", "*.jpeg"},
    {"WMF File(*.wmf)", "*.wmf"},
    {"EMF File(*.emf)", "*.emf"},
}};

}  // namespace quilvane
