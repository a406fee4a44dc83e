#pragma once
// The order in which the program shows a folder's entries and walks them: the order of
// a Chinese desktop's file list, Latin letters without regard to case and Chinese names
// by their pinyin (ICU's collation for Chinese, whatever the process's locale), so that
// line k of a listing belongs to entry k of the list. Names that are not UTF-8 sort by
// how they read in the legacy code page.
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_listing.h"

namespace quilvane {

// Bytes that compare (as unsigned bytes) in list order; equal keys for names that only
// differ in ways the order ignores.
std::string listOrderKey(std::string_view name);

void sortInListOrder(std::vector<std::string>& names);
void sortInListOrder(std::vector<FolderEntry>& entries);

}  // namespace quilvane
